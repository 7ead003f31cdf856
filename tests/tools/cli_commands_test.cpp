// zelk-cli's command table: every listed command is reached by its name, has
// its help, and runs its own work; a name not in the list is refused.
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli_harness.h"
#include "command.h"

namespace zelk::test {
namespace {

namespace fs = std::filesystem;

TEST(CliCommands, EveryListedCommandHasItsHelpAndRunsItsOwnWork) {
    TSimFolder sim;
    // What proves that the command's own run was reached, in the order of
    // the list; a command without a row here fails below.
    struct TRow {
        std::vector<std::string> Args;
        int Code;
        std::string Fragment;  // in stdout, or in stderr for a failure
    };
    const std::map<std::string, TRow> rows = {
        {"list", {{"list"}, 0, "Заданий нет"}},
        {"show", {{"show", "zelk0001.mis"}, 2, "нет задания \"zelk0001.mis\""}},
        {"new", {{"new", "--seed", "1"}, 0, "zelk0001.mis"}},
        {"copy", {{"copy", "zelk0001.mis"}, 0, "zelk0002.mis"}},
        {"regenerate", {{"regenerate", "zelk0001.mis", "--variant", "9"}, 2, "варианты от 1 до 1"}},
        {"history", {{"history", "zelk0002.mis"}, 0, "seed"}},
        {"delete", {{"delete", "zelk0002.mis"}, 0, "Удалено: zelk0002.mis"}},
        // A stop file that cannot be removed ends watch before it starts.
        {"watch", {{"watch"}, 1, "watch.stop"}},
        {"doctor", {{"--json", "doctor"}, 1, "\"items\""}},
        {"template", {{"template", "list"}, 0, "Шаблонов нет"}},
        {"logbook", {{"logbook"}, 0, "полётов нет"}},
        {"programme", {{"programme", "status"}, 0, "не начата"}},
    };
    fs::create_directories(sim.DataDir() / cli::kWatchStopFile / "kept");

    const TRunResult mainHelp = RunCli({"--help"});
    EXPECT_EQ(mainHelp.Code, 0);
    std::set<std::string> seen;
    for (const cli::TCommandEntry* entry : cli::Commands()) {
        SCOPED_TRACE(entry->Name);
        EXPECT_TRUE(seen.insert(entry->Name).second) << "listed twice";
        ASSERT_NE(entry->Run, nullptr);
        const std::string help = Tr("cli", entry->Help);
        EXPECT_NE(mainHelp.Out.find(help), std::string::npos) << mainHelp.Out;
        const TRunResult own = RunCli({entry->Name, "--help"});
        EXPECT_EQ(own.Code, 0);
        EXPECT_NE(own.Out.find(help), std::string::npos) << own.Out;

        const auto row = rows.find(entry->Name);
        ASSERT_NE(row, rows.end()) << "no row for this command";
        std::vector<std::string> args = sim.Common();
        args.insert(args.end(), row->second.Args.begin(), row->second.Args.end());
        const TRunResult r = RunCli(args);
        EXPECT_EQ(r.Code, row->second.Code) << r.Err;
        EXPECT_NE((r.Code == 0 ? r.Out : r.Err + r.Out).find(row->second.Fragment), std::string::npos)
            << r.Out << r.Err;
    }
    EXPECT_EQ(seen.size(), rows.size()) << "a row for a command that is not listed";

    // A name not in the list is refused, and the refusal names every command.
    const TRunResult unknown = RunCli({"frobnicate"});
    EXPECT_EQ(unknown.Code, 2);
    EXPECT_NE(unknown.Err.find("неизвестная команда \"frobnicate\""), std::string::npos) << unknown.Err;
    for (const cli::TCommandEntry* entry : cli::Commands())
        EXPECT_NE(unknown.Err.find(entry->Name), std::string::npos) << entry->Name;
}

}  // namespace
}  // namespace zelk::test
