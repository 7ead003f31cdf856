// `show`: one mission, with its route drawing and its card on request.
#include <CLI/CLI.hpp>

#include "command.h"
#include "files/paths.h"
#include "text/tr.h"

#ifndef ZELK_CLI_SYNTAX_ONLY
#include "card/card.h"
#include "cli_library.h"
#include "cli_output.h"
#include "cli_pilot.h"
#include "files/savefs.h"
#include "monitor/journalplace.h"
#include "preview/drawing.h"
#endif

namespace zelk::cli {

namespace {

class TSyntax final : public TCommandSyntax {
public:
    void Define(CLI::App& sub) override {
        AddMissionFile(sub, file_);
        sub.add_option("--svg", svg_, Tr("cli", "записать схему маршрута в файл SVG"));
        card_.Define(sub);
    }
    void Check(TArgs& args) override {
        if (svg_) {
            if (svg_->empty()) throw TUsageError(Tr("cli", "параметру --svg нужно имя файла"));
            args.Svg = PathFromUtf8(*svg_);
        }
        card_.Check(args);
        args.Files = {ToCp1251("FILE", file_)};
    }

private:
    std::string file_;
    std::optional<std::string> svg_;
    TCardOptions card_;
};

#ifndef ZELK_CLI_SYNTAX_ONLY

namespace fs = std::filesystem;

// A drawing never takes the place of a file the simulator or ZELK reads.
void RefuseDrawingTarget(const TContext& ctx, const fs::path& target) {
    if (CardPlaceRefused(target, ctx.MissionFolder, ctx.DataDir, JournalFileFor(ctx.DataDir).parent_path()))
        throw TUsageError(Fill(Tr("cli",
                                  "недопустимое значение --svg %1: файл задания или данных не заменяется рисунком; "
                                  "допустим файл вне папки заданий"),
                               {"\"" + Printable(PathToUtf8(target)) + "\""}));
}

int Run(TContext& ctx) {
    CheckCardTarget(ctx, 1);
    TRefData ref = LoadData(ctx);
    TMissionLibrary library = LoadLibrary(ctx, ref, false);
    int index = FindListed(ctx, library, ctx.Args.Files.at(0)).front();
    const TMission& mission = library.At(index);
    if (ctx.Args.Svg) {
        RefuseDrawingTarget(ctx, *ctx.Args.Svg);
        // The drawing comes from the stored file, so it shows what the
        // simulator will fly, not what the record would generate anew.
        TSaveFileSystem fs;
        std::string bytes;
        if (!ReadFilePrefix(ctx.MissionFolder / mission.FileName, kDrawingReadLimit, bytes))
            throw TCliFailure(
                Fill(Tr("cli", "файл задания не найден: %1"), {PathToUtf8(ctx.MissionFolder / mission.FileName)}));
        const TDrawing drawing = DrawSortie(ReadSortie(bytes), mission.Name, 800, 600);
        WriteFileAtomically(fs, *ctx.Args.Svg, DrawingToSvg(drawing));
    }
    WriteCards(ctx, {&mission}, ref);
    PrintMission(ctx, mission, ref);
    return 0;
}

#endif

}  // namespace

ZELK_CLI_COMMAND(show, ZELK_TR_NOOP("cli", "одно задание"), TSyntax, Run)

}  // namespace zelk::cli
