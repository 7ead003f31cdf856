// The set-up check's reading of the mission folder and of the event log; the
// whole check on broken set-ups runs through zelk-cli (tests/tools).
#include "doctor/doctor.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "library/journal.h"
#include "support/datafiles.h"
#include "support/tempdir.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;
using test::TTempDir;
using test::WriteFileBytes;

struct TSetUp {
    TTempDir Temp;
    TDoctorInput In;
    TSetUp() {
        In.Root = Temp / "sim";
        In.DataDir = In.Root / "ZELK";
        In.MissionFolder = In.Root / "Missions" / "Single" / "NN" / "ZELK";
        In.SimulatorExe = In.Root / "orvaksim.exe";
        In.EventLogName = "eventlog.lst";
        fs::create_directories(In.MissionFolder);
        fs::create_directories(In.DataDir);
        test::WriteDataFile(In.DataDir, 0, test::PrimarySource());
        WriteFileBytes(In.SimulatorExe, "x");
        WriteFileBytes(In.Root / "conf.ini", "[game]\r\neventlog=eventlog.lst\r\n");
    }
    void Mission(const std::string& name) { WriteFileBytes(In.MissionFolder / name, "[MAIN]\r\n"); }
};

// The items of one area whose text holds `words`.
std::vector<TDoctorItem> Find(const std::vector<TDoctorItem>& items, TDoctorArea area, const std::string& words) {
    std::vector<TDoctorItem> found;
    for (const auto& i : items)
        if (i.Area == area && i.What.find(words) != std::string::npos) found.push_back(i);
    return found;
}

TEST(Doctor, NamesEveryFileTheScanSkipsAndWhy) {
    TSetUp s;
    s.Mission("zelk0001.mis");
    WriteFileBytes(s.In.MissionFolder / "zelk0001_ru.properties", "Name x\r\n");
#ifndef _WIN32
    s.Mission("ZELK0001.MIS");  // the same number in other letters; one file on Windows
#endif
    s.Mission("zelk0002.mis");  // no description file
    s.Mission("zelk0005.mis");
    fs::permissions(s.In.MissionFolder / "zelk0005.mis", fs::perms::owner_write, fs::perm_options::remove);
    s.Mission("zelkabcd.mis");
    fs::create_directories(s.In.MissionFolder / "zelk0007.mis");
    s.Mission("notes.mis");  // not ours: not mentioned

    const auto items = RunDoctor(s.In);
    const struct {
        const char* File;
        const char* Reason;
    } skipped[] = {
        {"«zelk0001.mis»", "тот же номер"},
        {"«zelk0005.mis»", "только для чтения"},
        {"«zelkabcd.mis»", "нет номера"},
        {"«zelk0007.mis»", "не обычный файл"},
    };
    for (const auto& k : skipped) {
#ifdef _WIN32
        if (std::string(k.Reason) == "тот же номер") continue;
#endif
        const auto found = Find(items, TDoctorArea::Missions, k.File);
        ASSERT_EQ(found.size(), 1u) << k.File;
        EXPECT_NE(found[0].What.find(k.Reason), std::string::npos) << found[0].What;
        EXPECT_EQ(found[0].Status, TDoctorStatus::Warning);
        EXPECT_FALSE(found[0].Fix.empty());
    }
    EXPECT_EQ(Find(items, TDoctorArea::Missions, "«zelk0002.mis» нет файла описания").size(), 1u);
    EXPECT_TRUE(Find(items, TDoctorArea::Missions, "notes.mis").empty());
    // Two missions are read; every listed number is in use, as the scan
    // counts them, the folder zelk0007.mis too: the next mission is 8.
    EXPECT_EQ(
        Find(items, TDoctorArea::Missions, "Заданий в папке: 2; наибольший номер 7, до предела 9999 осталось 9992")
            .size(),
        1u);
    EXPECT_TRUE(DoctorPassed(items));
    fs::permissions(s.In.MissionFolder / "zelk0005.mis", fs::perms::owner_all);
}

TEST(Doctor, NumberNineThousandNineHundredNinetyNineIsAFault) {
    TSetUp s;
    s.Mission("zelk9999.mis");
    const auto items = RunDoctor(s.In);
    const auto found = Find(items, TDoctorArea::Missions, "9999: новые задания создавать невозможно");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].Status, TDoctorStatus::Fault);
    EXPECT_FALSE(DoctorPassed(items));
}

// Missions on a map no data file has: each names the absent file its own
// journal line was made from; one the journal does not know, every absent file.
TEST(Doctor, MissionsOnAnUnknownMapNameTheFilesTheirJournalLinesRecord) {
    TSetUp s;
    s.In.JournalFile = s.Temp / kJournalFileName;
    const auto onMap = [&](int number, const std::string& map) {
        WriteFileBytes(s.In.MissionFolder / MissionFileName(number), "[MAIN]\r\n  MAP " + map + "\r\n");
    };
    onMap(1, "Gone/load.ini");
    onMap(2, "Gone/load.ini");
    onMap(3, "Lost/load.ini");
    for (const auto& [number, file] : {std::pair{1, 3}, {2, 5}, {4, 7}}) {
        TVariant v;
        v.Number = number;
        v.Time = 1765000000;
        v.Hashes = {{0, "0123456789abcdef"}, {file, "fedcba9876543210"}};
        TJournal(s.In.JournalFile).Append(v);
    }
    const auto items = RunDoctor(s.In);
    const auto gone = Find(items, TDoctorArea::Data, "«Gone/load.ini»");
    ASSERT_EQ(gone.size(), 1u);
    EXPECT_NE(gone[0].What.find(DataFileName(3) + ", " + DataFileName(5)), std::string::npos) << gone[0].What;
    EXPECT_EQ(gone[0].What.find(DataFileName(7)), std::string::npos) << gone[0].What;
    const auto lost = Find(items, TDoctorArea::Data, "«Lost/load.ini»");
    ASSERT_EQ(lost.size(), 1u);
    EXPECT_NE(lost[0].What.find(DataFileName(9)), std::string::npos) << lost[0].What;
}

TEST(Doctor, CountsFlightsAcrossThePiecesOfAHugeLog) {
    TSetUp s;
    // The second start line is cut by the end of the first 1 MiB piece
    // between its "/zelk" and its "is Playing".
    const std::string start = "Mission: Missions/Single/NN/ZELK/zelk0004.mis is Playing";
    std::string log = "x /zelk0001.mis is Playing\r\nMission END\r\n";
    log += std::string((1 << 20) - log.size() - 2 - start.find("is Playing"), '.') + "\r\n";
    log += start + "\r\nMission END\r\n" + start.substr(0, 30) + "/zelk0009.mis is Playing\r";
    WriteFileBytes(s.In.Root / "eventlog.lst", log);
    const auto items = RunDoctor(s.In);
    const auto found = Find(items, TDoctorArea::EventLog, "начато 3, завершено 2");
    ASSERT_EQ(found.size(), 1u) << test::ReadFileBytes(s.In.Root / "eventlog.lst").size();
    EXPECT_NE(found[0].What.find("«zelk0009.mis» ещё в полёте"), std::string::npos) << found[0].What;
}

}  // namespace
}  // namespace zelk
