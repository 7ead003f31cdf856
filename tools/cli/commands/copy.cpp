// `copy`: a copy of a mission in a new file, saved at once.
#include "command.h"

#ifndef ZELK_CLI_SYNTAX_ONLY
#include "cli_library.h"
#include "data/catalogues.h"
#include "text/tr.h"
#endif

namespace zelk::cli {

namespace {

#ifndef ZELK_CLI_SYNTAX_ONLY

int Run(TContext& ctx) {
    TRefData ref = LoadData(ctx);
    TMissionLibrary library = LoadLibrary(ctx, ref, false);
    int source = FindListed(ctx, library, ctx.Args.Files.at(0)).front();
    int index = library.CopyMission(source, &ref);
    if (index < 0) throw TCliFailure(OneLine(U(NumberLimitText())));
    const std::string fileName = library.At(index).FileName;
    auto journal = OpenJournal(ctx);
    library.Journal = Writable(journal);
    SaveListed(ctx, library, fileName, ref);
    PrintMission(ctx, library.At(index), ref);
    return 0;
}

#endif

}  // namespace

ZELK_CLI_COMMAND(copy, ZELK_TR_NOOP("cli", "копия задания в новый файл"), TOneMissionFile, Run)

}  // namespace zelk::cli
