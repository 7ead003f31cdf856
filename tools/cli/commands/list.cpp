// `list`: the missions of the folder in the order of the listing.
#include "command.h"
#include "text/tr.h"

#ifndef ZELK_CLI_SYNTAX_ONLY
#include "cli_library.h"
#include "cli_output.h"
#endif

namespace zelk::cli {

namespace {

#ifndef ZELK_CLI_SYNTAX_ONLY

int Run(TContext& ctx) {
    TRefData ref = LoadData(ctx);
    TMissionLibrary library = LoadLibrary(ctx, ref, false);
    std::vector<std::string> unreadable;
    for (const auto& file : library.Unreadable) unreadable.push_back(PathToUtf8(file));
    if (ctx.Args.Json) {
        std::vector<const TMission*> missions;
        for (const auto& m : library.Missions) missions.push_back(m.get());
        PrintMissionListJson(*ctx.Out, missions, unreadable);
    } else if (library.Empty() && unreadable.empty()) {
        *ctx.Out << Fill(Tr("cli", "Заданий нет: %1"), {FolderText(ctx.MissionFolder)}) << '\n';
    } else {
        for (const auto& m : library.Missions) PrintMissionLine(*ctx.Out, *m);
    }
    // A list without a mission it could not read is no whole list.
    for (const auto& file : unreadable)
        *ctx.Err << Fill(Tr("cli", "zelk-cli: задание не прочитано, его нет в списке: %1"), {Printable(file)}) << '\n';
    if (ctx.EndsAfterCommand) LeaveUntilExit(std::move(library));
    return unreadable.empty() ? 0 : 1;
}

#endif

}  // namespace

ZELK_CLI_COMMAND(list, ZELK_TR_NOOP("cli", "задания папки в порядке просмотра"), TNoOptions, Run)

}  // namespace zelk::cli
