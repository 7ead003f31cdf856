// `regenerate`: a mission written anew, or one of its variants from the journal.
#include <CLI/CLI.hpp>

#include "command.h"
#include "text/tr.h"

#ifndef ZELK_CLI_SYNTAX_ONLY
#include "cli_library.h"
#include "files/paths.h"
#include "mission/check.h"
#endif

namespace zelk::cli {

namespace {

class TSyntax final : public TCommandSyntax {
public:
    void Define(CLI::App& sub) override {
        AddMissionFile(sub, file_);
        sub.add_option("--variant", variant_, Tr("cli", "записать заново вариант K из журнала (см. history)"));
    }
    void Check(TArgs& args) override {
        if (variant_) {
            args.Variant = ParseInt(*variant_, 1, 1000000000);
            if (!args.Variant)
                throw TUsageError(Fill(Tr("cli",
                                          "недопустимое значение --variant %1: допустим номер варианта из списка "
                                          "history, целое от 1"),
                                       {Quoted(*variant_)}));
        }
        args.Files = {ToCp1251("FILE", file_)};
    }

private:
    std::string file_;
    std::optional<std::string> variant_;
};

#ifndef ZELK_CLI_SYNTAX_ONLY

int Run(TContext& ctx) {
    TRefData ref = LoadData(ctx);
    TMissionLibrary library = LoadLibrary(ctx, ref, false);
    int index = FindListed(ctx, library, ctx.Args.Files.at(0)).front();
    TMission& mission = library.At(index);
    auto journal = OpenJournal(ctx);
    library.Journal = Writable(journal);
    if (!ctx.Args.Variant) {
        SaveListed(ctx, library, mission.FileName, ref);
        PrintMission(ctx, library.At(index), ref);
        return 0;
    }
    const std::vector<TVariant> variants = journal ? journal->Variants(mission.Number) : std::vector<TVariant>{};
    const int k = *ctx.Args.Variant;
    if (k > static_cast<int>(variants.size()))
        throw TUsageError(
            variants.empty()
                ? Fill(Tr("cli", "недопустимое значение --variant %1: у задания %2 нет вариантов в журнале"),
                       {std::to_string(k), Q(mission.FileName)})
                : Fill(Tr("cli", "недопустимое значение --variant %1: у задания %2 варианты от 1 до %3"),
                       {std::to_string(k), Q(mission.FileName), std::to_string(variants.size())}));
    const TVariant& v = variants[static_cast<std::size_t>(k - 1)];
    if (!ref.Targets.SelectTarget(v.Data.Map, v.Data.Target))
        throw TCliFailure(Fill(Tr("cli", "цели %1 варианта %2 нет в файлах данных %3"),
                               {Q(v.Data.Target), std::to_string(k), FolderText(ref.Dir)}));
    // A line whose checksum holds may still have been written by another
    // program: its values pass the check a new mission's do.
    TMission planned = mission;
    planned.Data = v.Data;
    if (auto fault = CheckMissionRecord(planned, v.Comment, ref))
        throw TCliFailure(Fill(Tr("cli", "вариант %1 не записан: журнал %2, строка %3: %4"),
                               {std::to_string(k), PathToUtf8(v.File), std::to_string(v.Line), fault->Message}));
    std::vector<std::string> changed;
    for (int file : ChangedDataFiles(v, ref)) changed.push_back(PathToUtf8(ref.DataFilePath(file)));
    mission.Data = v.Data;
    SaveListed(ctx, library, mission.FileName, ref, v.Comment, v.Seed);
    if (!changed.empty())
        *ctx.Err << Fill(Tr("cli",
                            "zelk-cli: предупреждение: файлы данных изменились с тех пор (%1): вариант %2 "
                            "записан заново, но не совпадает с прежним побайтно"),
                         {Enumerate(changed), std::to_string(k)})
                 << '\n';
    PrintMission(ctx, library.At(index), ref);
    return 0;
}

#endif

}  // namespace

ZELK_CLI_COMMAND(regenerate, ZELK_TR_NOOP("cli", "записать задание заново"), TSyntax, Run)

}  // namespace zelk::cli
