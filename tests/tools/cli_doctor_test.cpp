// zelk-cli doctor on a complete set-up, and on copies each broken in one way.
#include <functional>

#include <nlohmann/json.hpp>

#include "cli_harness.h"

namespace zelk::test {
namespace {

using Json = nlohmann::ordered_json;

// Data, simulator, settings, mission folder and a log with one flight.
void MakeComplete(const TSimFolder& sim) {
    WriteFileBytes(sim.Root() / "orvaksim.exe", "stand-in");
    WriteFileBytes(sim.Root() / "conf.ini", "[game]\r\neventlog=eventlog.lst\r\neventlogkeep=1\r\n");
    WriteFileBytes(sim.Root() / "eventlog.lst",
                   "[12:00:01] Mission: net/Missions/Single/NN/ZELK/zelk0001.mis is Playing\r\n"
                   "[12:09:40] Mission END\r\n");
    fs::create_directories(sim.MissionDir());
}

// The first fault whose text and fix hold the given words, or null.
const Json* FindFault(const Json& report, const std::string& what, const std::string& fix) {
    for (const Json& item : report["items"])
        if (item["status"] == "fault" && item["what"].get<std::string>().find(what) != std::string::npos &&
            item["fix"].get<std::string>().find(fix) != std::string::npos)
            return &item;
    return nullptr;
}

TEST(CliDoctor, NamesEachBrokenPartWithItsFixAndExitsWithOne) {
    struct TCase {
        const char* Name;
        std::function<void(const TSimFolder&)> Break;
        const char* What;  // words of the fault, empty for the complete set-up
        const char* Fix;   // words of its fix
    };
    const TCase cases[] = {
        {"complete", [](const TSimFolder&) {}, "", ""},
        {"no eventlog key",
         [](const TSimFolder& s) { WriteFileBytes(s.Root() / "conf.ini", "[game]\r\neventlogkeep=1\r\n"); },
         "не задан ключ eventlog", "eventlog=eventlog.lst"},
        {"log folder missing",
         [](const TSimFolder& s) { WriteFileBytes(s.Root() / "conf.ini", "[game]\r\neventlog=logs\\events.lst\r\n"); },
         "logs", "Создайте папку"},
#ifndef _WIN32
        // Windows does not stop writes into a folder marked read-only.
        {"mission folder read-only",
         [](const TSimFolder& s) { fs::permissions(s.MissionDir(), fs::perms::owner_write, fs::perm_options::remove); },
         "закрыта для записи", "Только чтение"},
#endif
        {"data file 1 damaged", [](const TSimFolder& s) { fs::resize_file(s.DataDir() / "orvak_zelk.rc1", 30); },
         "orvak_zelk.rc1", "zelk-pack check"},
        {"no simulator executable", [](const TSimFolder& s) { fs::remove(s.Root() / "orvaksim.exe"); }, "orvaksim.exe",
         "--root"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TSimFolder sim;
        MakeComplete(sim);
        c.Break(sim);
        const TRunResult r = sim.Cli({"doctor", "--json"});
        const Json report = Json::parse(r.Out);
        const TRunResult text = sim.Cli({"doctor"});
        fs::permissions(sim.MissionDir(), fs::perms::owner_all);
        if (*c.What == '\0') {
            EXPECT_EQ(r.Code, 0) << r.Out;
            EXPECT_EQ(report["ok"], true);
            // The flight in the log is seen.
            EXPECT_NE(r.Out.find("zelk0001.mis"), std::string::npos) << r.Out;
            continue;
        }
        EXPECT_EQ(r.Code, 1) << r.Out;
        EXPECT_EQ(report["ok"], false);
        EXPECT_NE(FindFault(report, c.What, c.Fix), nullptr) << r.Out;
        EXPECT_EQ(text.Code, 1);
        EXPECT_NE(text.Out.find(c.Fix), std::string::npos) << text.Out;
    }
}

}  // namespace
}  // namespace zelk::test
