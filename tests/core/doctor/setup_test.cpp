// The one reading of conf.ini that the set-up check and auto-generation both
// start from: the window and zelk-cli must judge the event log alike.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "doctor/setup.h"
#include "files/paths.h"
#include "support/tempdir.h"

namespace zelk::test {
namespace {

namespace fs = std::filesystem;

TEST(SimulatorSetup, CheckAndWatchTakeTheSameReadingOfConfIni) {
    // A byte-order mark, Windows-1251 letters and a zero byte ending the value.
    static const char kOddBytes[] =
        "\xEF\xBB\xBF[GAME]\r\nEventLog=\xC6\xF3\xF0\xED\xE0\xEB.lst\0tail\r\neventlogkeep=7\r\n";
    TTempDir box;
    const fs::path root = box / "sim";
    fs::create_directories(root / "logs");
    const std::string absent = PathToUtf8(box / "gone" / "events.lst");
    const std::string present = PathToUtf8(root / "logs" / "events.lst");
    struct TCase {
        const char* Name;
        std::optional<std::string> Ini;  // none: no conf.ini at all
        std::string EventLog;            // as read, UTF-8
        bool Keep;
        TEventLogSetting Setting;
    };
    const TCase cases[] = {
        {"no conf.ini", std::nullopt, "", false, TEventLogSetting::Missing},
        {"no [game] section", "[core]\r\neventlog=events.lst\r\neventlogkeep=1\r\n", "", false,
         TEventLogSetting::Missing},
        {"eventlog empty", "[game]\r\neventlog=\r\neventlogkeep=1\r\n", "", true, TEventLogSetting::Missing},
        {"relative, in the root", "[game]\r\neventlog=events.lst\r\n", "events.lst", false, TEventLogSetting::Usable},
        {"relative, Windows separator", "[game]\r\neventlog=logs\\events.lst\r\n", "logs\\events.lst", false,
         TEventLogSetting::Usable},
        {"relative, folder missing", "[game]\r\neventlog=nowhere\\events.lst\r\n", "nowhere\\events.lst", false,
         TEventLogSetting::FolderMissing},
        {"absolute, folder there", "[game]\r\neventlog=" + present + "\r\n", present, false, TEventLogSetting::Usable},
        {"absolute, folder missing", "[game]\r\neventlog=" + absent + "\r\n", absent, false,
         TEventLogSetting::FolderMissing},
        {"odd bytes", std::string(kOddBytes, sizeof kOddBytes - 1),
         "\xD0\x96\xD1\x83\xD1\x80\xD0\xBD\xD0\xB0\xD0\xBB.lst", true, TEventLogSetting::Usable},
    };
    TSetupPlaces places;
    places.Root = root;
    places.DataDir = root / "ZELK";
    places.JournalFile = root / "ZELK" / "journal.txt";
    places.LogbookFile = root / "ZELK" / "logbook.txt";
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        fs::remove(SimulatorConfigOf(root));
        if (c.Ini) WriteFileBytes(SimulatorConfigOf(root), *c.Ini);
        const TSimulatorSetup setup = ReadSimulatorSetup(places);
        EXPECT_EQ(setup.EventLog, c.Setting);
        EXPECT_EQ(setup.Check.EventLogName, c.EventLog);
        EXPECT_EQ(setup.Watch.EventLogName, c.EventLog);
        EXPECT_EQ(setup.Check.KeepEventLog, c.Keep);
        EXPECT_EQ(setup.Watch.KeepEventLog, c.Keep);
        // Both programs retry a monitor that could not watch after the same wait.
        EXPECT_EQ(setup.Watch.NotifyRetryMs, kNotifyRetryMs);
        EXPECT_EQ(setup.Check.SimulatorExe, SimulatorExeOf(root));
        EXPECT_EQ(setup.Check.MissionFolder, MissionFolderOf(root));
        EXPECT_EQ(setup.Check.JournalFile, places.JournalFile);
        EXPECT_EQ(setup.Watch.JournalFile, places.JournalFile);
        EXPECT_EQ(setup.Watch.LogbookFile, places.LogbookFile);
    }
}

}  // namespace
}  // namespace zelk::test
