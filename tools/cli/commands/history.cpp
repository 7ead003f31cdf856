// `history`: the variants of a mission in the journal, newest first.
#include <map>

#include "command.h"

#ifndef ZELK_CLI_SYNTAX_ONLY
#include "cli_library.h"
#include "cli_output.h"
#include "data/catalogues.h"
#include "text/tr.h"
#endif

namespace zelk::cli {

namespace {

#ifndef ZELK_CLI_SYNTAX_ONLY

std::string LocalTime(std::int64_t seconds) { return LocalTimeText(seconds, "%Y-%m-%d %H:%M:%S"); }

int Run(TContext& ctx) {
    TRefData ref = LoadData(ctx);
    TMissionLibrary library = LoadLibrary(ctx, ref, false);
    const TMission& mission = library.At(FindListed(ctx, library, ctx.Args.Files.at(0)).front());
    const auto journal = OpenJournal(ctx);
    const std::vector<TVariant> variants = journal ? journal->Variants(mission.Number) : std::vector<TVariant>{};
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    std::map<int, std::string> hashes;
    for (int k = static_cast<int>(variants.size()); k >= 1; --k) {
        const TVariant& v = variants[static_cast<std::size_t>(k - 1)];
        const bool changed = !ChangedDataFiles(v, ref, &hashes).empty();
        TMission shown = mission;
        shown.Data = v.Data;
        shown.Comment = v.Comment;
        if (ctx.Args.Json) {
            nlohmann::ordered_json item;
            item["variant"] = k;
            item["time"] = LocalTime(v.Time);
            item["seed"] = v.Seed;
            item["data_changed"] = changed;
            const auto m = MissionJson(shown);
            item["comment"] = m["comment"];
            item["params"] = m["params"];
            list.push_back(std::move(item));
        } else {
            *ctx.Out << k << "  " << LocalTime(v.Time) << "  seed " << v.Seed << "  "
                     << ShownName(ModeNames.at(v.Data.Mode % 4)) << " - " << U(v.Data.Target)
                     << (changed ? Tr("cli", "  (данные изменились)") : "") << '\n';
        }
    }
    if (ctx.Args.Json) {
        nlohmann::ordered_json out;
        out["file"] = U(mission.FileName);
        out["variants"] = std::move(list);
        PrintJson(*ctx.Out, out);
    } else if (variants.empty()) {
        *ctx.Out << Fill(Tr("cli", "Вариантов задания %1 в журнале нет"), {U(mission.FileName)}) << '\n';
    }
    return 0;
}

#endif

}  // namespace

ZELK_CLI_COMMAND(history, ZELK_TR_NOOP("cli", "варианты задания из журнала, новые первыми"), TOneMissionFile, Run)

}  // namespace zelk::cli
