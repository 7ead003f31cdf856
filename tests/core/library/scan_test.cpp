// Reading missions back from the mission folder.
#include "library/scan.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

#include "data/catalogues.h"
#include "data/codepage.h"
#include "generator/escapes.h"
#include "support/tempdir.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace zelk {
namespace {

namespace fs = std::filesystem;
using test::TTempDir;
using test::WriteFileBytes;

// Lines joined with CR LF, as our writer ends them; UTF-8 in, 1251 out.
std::string Lines(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) out += W(l) + "\r\n";
    return out;
}

// The header and flight plan of a mission with enemy fighters, as saved.
std::string FullMission() {
    return Lines({
        "[MAIN]",
        "  MAP Orvak/load.ini",
        "  TIME 7.0",
        "  CloudType 3",
        "  CloudHeight 1200.0",
        "  player g0100",
        "  army 2",
        "  playerNum 0",
        "[Wing]",
        "  g0100",
        "  r0100",
        "[r0100]",
        "  Planes 3",
        "  Skill 1",
        "  Class air.LA_5FN",
        "  Fuel 50",
        "  weapons default",
        "[r0100_Way]",
        "  NORMFLY 12000.00 20000.00 1500 300.00 &0",
        "  NORMFLY 9000.00 21000.00 1500 300.00 g0100 1 &0",
        "[g0100]",
        "  Planes 4",
        "  Skill 3",
        "  Class air.BF_109G2",
        "  Fuel 100",
        "  weapons 4xSC50",
        "[g0100_Way]",
        "  NORMFLY 100.00 200.00 800 300.00 &0",
        "  GATTACK 500.25 -800.00 1000 300.00 &0",
        "  NORMFLY 100.00 200.00 1200.00 300.00 &0",
        "  NORMFLY 100.00 200.00 2000 300.00 &0",
        "[Chiefs]",
        "  0_Chief Armor.4-T34 1",
        "[NStationary]",
    });
}

TMission Read(const std::string& bytes) {
    TTempDir dir;
    WriteFileBytes(dir / "zelk0001.mis", bytes);
    TMission m;
    EXPECT_TRUE(ReadMissionFile(dir / "zelk0001.mis", m));
    return m;
}

TEST(ReadMissionFile, ReadsEveryKeyOfASavedMission) {
    const TMission m = Read(FullMission());
    EXPECT_EQ(m.Data.Map, "Orvak/load.ini");
    EXPECT_EQ(m.Data.Time, 7);
    EXPECT_EQ(m.Data.Weather, 3);
    EXPECT_EQ(m.Data.Clouds, "1200");
    EXPECT_EQ(m.Data.Army, 2);
    EXPECT_EQ(m.Data.Flight, 2);  // 4 planes
    EXPECT_EQ(m.Data.Aircraft, "BF_109G2");
    EXPECT_EQ(m.Data.Height, 2000);  // the last NORMFLY line wins
    EXPECT_EQ(m.Data.Fighters, 3);
    // Not carried by the mission file.
    EXPECT_EQ(m.Data.Target, "");
    EXPECT_EQ(m.Data.Mode, 0);
}

TEST(ReadMissionFile, ClosingLineOfEachSectionIsSeenByTheLaterSteps) {
    // Without fighters "[Wing]" ends at the player's header, which ends at
    // its "_Way" header, which ends at the enemy header: each met only as the
    // line that closed the section before it.
    const TMission m = Read(Lines({
        "  player r0100",
        "[Wing]",
        "  r0100",
        "  gb0100",
        "[r0100]",
        "  Planes 2",
        "  Class air.IL2",
        "[r0100_Way]",
        "  NORMFLY 1.00 2.00 750 300.00 &0",
        "[gb0100]",
        "  Planes 1",
        "[gb0100_Way]",
    }));
    EXPECT_EQ(m.Data.Army, 0);
    EXPECT_EQ(m.Data.Flight, 1);
    EXPECT_EQ(m.Data.Aircraft, "IL2");
    EXPECT_EQ(m.Data.Height, 750);
    EXPECT_EQ(m.Data.Fighters, 1);
}

TEST(ReadMissionFile, PlanesGiveWingmen) {
    for (auto [planes, flight] : std::initializer_list<std::pair<const char*, int>>{{"1", 0}, {"2", 1}, {"4", 2}}) {
        const TMission m = Read(Lines({"  player r0100", "[r0100]", std::string("  Planes ") + planes, "[x]"}));
        EXPECT_EQ(m.Data.Flight, flight) << planes;
    }
}

TEST(ReadMissionFile, WithoutPlayerLineNoGroupIsRead) {
    const TMission m = Read(Lines({
        "  MAP m",
        "[Wing]",
        "  g0100",
        "[]",
        "  Planes 4",
        "  Class air.X",
        "[_way]",
        "  NORMFLY 1 2 900 300.00 &0",
        "[g0100]",
        "  Planes 2",
    }));
    EXPECT_EQ(m.Data.Army, 0);
    EXPECT_EQ(m.Data.Flight, 0);
    EXPECT_EQ(m.Data.Aircraft, "");
    EXPECT_EQ(m.Data.Height, 0);
    // [Wing] cannot tell the enemy's code without the player's.
    EXPECT_EQ(m.Data.Fighters, 0);
}

TEST(ReadMissionFile, ComparisonsAreLowerCasedExceptTheGroupHeaders) {
    const TMission m = Read(Lines({
        "  mAp Key With Case  ",
        "  cloudheight 900",
        "  PLAYER r0100",
        "[R0100]",  // the player's header is compared as written: not this one
        "  Planes 4",
        "[R0100_WAY]",  // the way header is compared lower-cased: this one
        "  normfly 1 2 1300.75 300.00 &0",
        "[x]",
    }));
    EXPECT_EQ(m.Data.Map, "Key With Case  ");  // the rest, untrimmed
    EXPECT_EQ(m.Data.Clouds, "900");           // no point: kept whole
    EXPECT_EQ(m.Data.Army, 0);
    EXPECT_EQ(m.Data.Flight, 0);
    EXPECT_EQ(m.Data.Height, 1300);
}

TEST(ReadMissionFile, UnknownPlayerCodeKeepsArmyButNamesTheGroup) {
    TMission m;
    m.Data.Army = 3;
    TTempDir dir;
    WriteFileBytes(dir / "m.mis", Lines({"  player xx9", "[xx9]", "  Planes 2", "[x]"}));
    ASSERT_TRUE(ReadMissionFile(dir / "m.mis", m));
    EXPECT_EQ(m.Data.Army, 3);
    EXPECT_EQ(m.Data.Flight, 1);
}

TEST(ReadMissionFile, FileEndingInsideWingEndsNormally) {
    const TMission m = Read(Lines({"  TIME 5.9", "  player r0100", "[Wing]", "  r0100", "  g0100"}));
    EXPECT_EQ(m.Data.Time, 5);  // truncated toward zero
    EXPECT_EQ(m.Data.Army, 0);
}

TEST(ReadMissionFile, LastLineWithoutLineEndAndBareLineFeedsAreRead) {
    const TMission m = Read("  TIME 9.0\n  CloudType 2\r\n  MAP last");
    EXPECT_EQ(m.Data.Time, 9);
    EXPECT_EQ(m.Data.Weather, 2);
    EXPECT_EQ(m.Data.Map, "last");
}

TEST(ReadMissionFile, ValuesThatAreNotNumbersOrOutOfRangeAreNotTaken) {
    const TMission m = Read(Lines({
        "  TIME noon",
        "  CloudType 99",
        "  TIME 12.0",  // a later good value still counts
        "  CloudType -1",
        "  CloudType nan",
        "  player r0100",
        "[r0100]",
        "  Planes many",
        "[r0100_Way]",
        "  NORMFLY 1 2 1000 300.00 &0",
        "  NORMFLY 1 2 high 300.00 &0",
        "  NORMFLY 1 2 99999999999999999999 300.00 &0",
        "[Wing]",
        "  g0100",
        "[g0100]",
        "  Planes 40",
    }));
    EXPECT_EQ(m.Data.Time, 12);
    EXPECT_EQ(m.Data.Weather, 0);
    EXPECT_EQ(m.Data.Flight, 0);
    EXPECT_EQ(m.Data.Height, 1000);
    EXPECT_EQ(m.Data.Fighters, 0);
}

TEST(ReadMissionFile, EmptyAltitudeFieldGivesZero) {
    const TMission m =
        Read(Lines({"  player r0100", "[r0100_Way]", "  NORMFLY 1 2 900 300 &0", "  NORMFLY 1 2", "[x]"}));
    EXPECT_EQ(m.Data.Height, 0);
}

TEST(ReadMissionFile, RestIsCutAt255AndLongLinesDoNotHurt) {
    const std::string longValue(300, 'k');
    std::string noise(300000, 'x');  // one line far beyond any of ours
    const TMission m = Read("  MAP " + longValue + "\r\n" + noise + "\r\n  TIME 3.0\r\n");
    EXPECT_EQ(m.Data.Map, std::string(255, 'k'));
    EXPECT_EQ(m.Data.Time, 3);
}

// The first occurrence of key in the lower-cased line, by plain search.
std::string::size_type FindLower(const std::string& line, const std::string& key) {
    std::string lower = line;
    for (char& c : lower) c = LowerCp1251(c);
    return lower.find(key);
}

TEST(ReadMissionFile, KeysAreFoundAnywhereInTheLine) {
    // Random lines over the letters of the keys, in both cases, checked
    // against a plain search of the lower-cased line.
    const std::string alphabet = "mapMAPcloudhetigCLOUDHEIGT .x\t\xC0";
    std::mt19937 rng(5);
    TTempDir dir;
    int maps = 0, clouds = 0;
    for (int round = 0; round < 1000; ++round) {
        std::string line(rng() % 90, ' ');
        for (char& c : line) c = alphabet[rng() % alphabet.size()];
        // Plant a key now and then, at any offset, to reach every position.
        if (rng() % 2) line.insert(rng() % (line.size() + 1), rng() % 2 ? "mAp " : "cloudHeight ");
        // A new file each round: rewriting one file in place is slow on
        // some file systems.
        const fs::path file = dir / (std::to_string(round) + ".mis");
        std::ofstream(file, std::ios::binary) << line << "\r\n";
        TMission m;
        ASSERT_TRUE(ReadMissionFile(file, m));

        const auto map = FindLower(line, "map ");
        EXPECT_EQ(m.Data.Map, map == std::string::npos ? "" : line.substr(map + 4, 255)) << line;
        maps += map != std::string::npos;

        const auto cloud = FindLower(line, "cloudheight ");
        std::string expected;
        if (cloud != std::string::npos) {
            std::string rest = line.substr(cloud + 12, 255);
            const auto first = rest.find_first_not_of(" \t");
            rest = first == std::string::npos ? "" : rest.substr(first, rest.find_last_not_of(" \t") - first + 1);
            expected = rest.substr(0, rest.find('.'));
            ++clouds;
        }
        EXPECT_EQ(m.Data.Clouds, expected) << line;
    }
    EXPECT_GT(maps, 150);
    EXPECT_GT(clouds, 150);
}

TEST(ReadMissionFile, MissingFileFails) {
    TTempDir dir;
    TMission m;
    m.Data.Map = "kept";
    EXPECT_FALSE(ReadMissionFile(dir / "none.mis", m));
    EXPECT_EQ(m.Data.Map, "kept");
}

TEST(ReadMissionFile, BinaryNoiseIsReadWithoutHarm) {
    std::mt19937 rng(7);
    for (int round = 0; round < 50; ++round) {
        std::string bytes(static_cast<std::size_t>(rng() % 5000), '\0');
        for (char& c : bytes) c = static_cast<char>(rng());
        // Sprinkle the keys in, so that the inner loops run on noise too.
        for (const char* key : {"\r\n[Wing]\r\n", "\nplayer r0100\n", "\n[r0100]\n", "\n[r0100_Way]\nnormfly "})
            bytes.insert(rng() % (bytes.size() + 1), key);
        EXPECT_GE(Read(bytes).Data.Height, 0);
    }
}

// Description files as the writer escapes them.
std::string Escaped(const std::string& utf8) {
    std::string out;
    for (unsigned char c : W(utf8)) {
        if (c >= 0xC0 || c == 0xA8 || c == 0xB8) {
            const unsigned code = c == 0xA8 ? 0x401 : c == 0xB8 ? 0x451 : c + 0x350;
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04X", code);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

TTargetsColl Targets(const std::vector<std::string>& names) {
    TTargetsColl coll;
    for (const auto& n : names) {
        auto t = std::make_unique<TTarget>();
        t->Name = W(n);
        coll.Items.push_back(std::move(t));
    }
    return coll;
}

TMission ReadDescription(const std::string& bytes, const TTargetsColl& targets) {
    TTempDir dir;
    WriteFileBytes(dir / "d.properties", bytes);
    TMission m;
    ReadDescriptionFile(dir / "d.properties", m, targets);
    return m;
}

const std::string kShort =
    "Пикирование - Мост,\\nцель Мост, Заречье, движущаяся,\\nпикирование,\\nсложность - учебный вылет, "
    "случайный маршрут,\\nармия, язык - красная, русский,";

TEST(ReadDescriptionFile, ReadsTitleSummaryAndComment) {
    const auto targets = Targets({"Мост", "Склад"});
    const TMission m = ReadDescription("Name " + Escaped("Пикирование - Мост") + "\r\n" + "Short " + Escaped(kShort) +
                                           "\r\n" + "Description " + Escaped(kShort + "Первая\\nвторая") + "\r\n",
                                       targets);
    EXPECT_EQ(m.Name, W("Пикирование - Мост"));
    EXPECT_EQ(m.Data.Mode, 2);
    EXPECT_EQ(m.Data.Target, W("Мост"));
    EXPECT_EQ(m.Data.Difficulty, 0);
    EXPECT_EQ(m.Data.Moving, 1);
    EXPECT_EQ(m.Data.RandomRoute, 1);
    ASSERT_EQ(m.Short.size(), 1u);
    EXPECT_NE(m.Short[0].find("\r\n"), std::string::npos);  // line breaks are real
    ASSERT_EQ(m.Comment.size(), 1u);
    EXPECT_EQ(m.Comment[0], W("Первая\r\nвторая"));
    ASSERT_EQ(m.Description.size(), 1u);
    EXPECT_EQ(m.Description[0], m.Short[0] + m.Comment[0]);
}

TEST(ReadDescriptionFile, DescriptionDecodesAsOneLineWhateverTheSummaryEndsIn) {
    // The description starts with the summary, whose decoded text may stand
    // for that part only where no escape runs past the summary's end.
    for (const std::string summary : {"a\\u0410", "a\\", "a\\u04", "a\\\\", "a\\n", "\\u0410\\"}) {
        for (const std::string more : {"", "n\\u0411", "\\u0412x", "u0413", "\\\\n"}) {
            const std::string description = summary + more;
            const TMission m =
                ReadDescription("Short " + summary + "\r\nDescription " + description + "\r\n", Targets({}));
            ASSERT_EQ(m.Description.size(), 1u);
            EXPECT_EQ(m.Description[0], DecodeUnicodeEscapes(description)) << description;
            EXPECT_EQ(m.Comment[0], m.Description[0].substr(std::min(m.Short[0].size(), m.Description[0].size())))
                << description;
        }
    }
}

TEST(ReadDescriptionFile, DescriptionEqualToShortGivesEmptyComment) {
    const TMission m =
        ReadDescription("Short " + Escaped(kShort) + "\r\nDescription " + Escaped(kShort) + "\r\n", Targets({}));
    ASSERT_EQ(m.Comment.size(), 1u);
    EXPECT_EQ(m.Comment[0], "");
}

TEST(ReadDescriptionFile, AirDefenceMeansCombatAndLastHitsWin) {
    // Targets whose names are part of each other: the later one in the
    // collection wins when both occur. An empty name matches nothing.
    const auto targets = Targets({"Мост у реки", "Мост", ""});
    const TMission m = ReadDescription(
        "Short " + Escaped("бомбометание, штурмовка, цель Мост у реки, учебный вылет, боевой вылет, ПВО") + "\r\n",
        targets);
    EXPECT_EQ(m.Data.Mode, 3);
    EXPECT_EQ(m.Data.Target, W("Мост"));
    EXPECT_EQ(m.Data.Difficulty, 1);
    EXPECT_EQ(m.Data.Moving, 0);
    EXPECT_EQ(m.Data.RandomRoute, 0);

    const TMission t = ReadDescription("Short " + Escaped("учебный вылет, ПВО") + "\r\n", targets);
    EXPECT_EQ(t.Data.Difficulty, 1);
}

TEST(ReadDescriptionFile, KeysAreCaseSensitiveAndCommentIsCut) {
    const std::string comment(3000, 'c');
    const TMission m =
        ReadDescription("name lower\r\nNAME upper\r\nShort s\r\nDescription s" + comment + "\r\n", Targets({}));
    EXPECT_EQ(m.Name, "");
    ASSERT_EQ(m.Comment.size(), 1u);
    EXPECT_EQ(m.Comment[0], std::string(1024, 'c'));
    EXPECT_EQ(m.Description[0].size(), 3001u);
}

TEST(ReadDescriptionFile, MissingFileLeavesMissionAlone) {
    TTempDir dir;
    TMission m;
    m.Name = "n";
    m.Data.RandomRoute = 1;
    ReadDescriptionFile(dir / "none", m, Targets({}));
    EXPECT_EQ(m.Name, "n");
    EXPECT_EQ(m.Data.RandomRoute, 1);
}

// A folder of missions with their description files.
void WriteMission(const fs::path& folder, int number, const std::string& missionBytes, const std::string& title) {
    char name[16];
    std::snprintf(name, sizeof name, "zelk%04d", number);
    WriteFileBytes(folder / (std::string(name) + ".mis"), missionBytes);
    if (!title.empty())
        WriteFileBytes(folder / (std::string(name) + "_ru.properties"), "Name " + Escaped(title) + "\r\n");
}

TEST(ScanMissionFolder, ListsOurMissionsAndSkipsTheRest) {
    TTempDir dir;
    const fs::path folder = dir / "Missions/Single/NN/ZELK";
    fs::create_directories(folder);
    WriteMission(folder, 42, FullMission(), "Штурмовка - танки у леса [Pz.IVE]");
    WriteMission(folder, 1234, Lines({"  TIME 1.0"}), "");
    WriteMission(folder, 5, FullMission(), "read-only");
    fs::permissions(folder / "zelk0005.mis", fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    WriteFileBytes(folder / "zelkabcd.mis", FullMission());
    fs::create_directory(folder / "zelk0777.mis");
    WriteFileBytes(folder / "other.mis", FullMission());
    // Listed under another case, but the files it names are missing: the
    // number still counts.
    WriteFileBytes(folder / "ZELK6000.MIS", FullMission());

    TScanResult r = ScanMissionFolder(folder, Targets({}));
    EXPECT_FALSE(r.FolderFailed);
    EXPECT_EQ(r.MaxNumber, 6000);
#ifdef _WIN32
    // Names are case-insensitive there: the entry opens as zelk6000.mis.
    ASSERT_EQ(r.Missions.size(), 3u);
    std::erase_if(r.Missions, [](const auto& m) { return m->Number == 6000; });
#endif
    ASSERT_EQ(r.Missions.size(), 2u);
    const TMission* m42 = r.Missions[0]->Number == 42 ? r.Missions[0].get() : r.Missions[1].get();
    const TMission* m1234 = r.Missions[0]->Number == 42 ? r.Missions[1].get() : r.Missions[0].get();

    EXPECT_EQ(m42->FileName, "zelk0042.mis");
    EXPECT_EQ(m42->PropFileName, "zelk0042_ru.properties");
    EXPECT_EQ(m42->Name, W("Штурмовка - танки у леса [Pz.IVE]"));
    EXPECT_EQ(m42->Data.Tanks, 5);
    EXPECT_EQ(m42->Data.Height, 2000);
    EXPECT_EQ(m42->IsNew, 0);
    EXPECT_FALSE(m42->IsUnsaved());

    EXPECT_EQ(m1234->Name, "zelk1234.mis");  // no description: the entry's name
    EXPECT_EQ(m1234->Data.Time, 1);
    EXPECT_EQ(m1234->Data.Tanks, 0);

    // What was left out is told with its reason, in name order: the set-up
    // check says exactly this.
    std::vector<std::pair<std::string, TSkipReason>> skipped;
    for (const auto& s : r.Skipped) skipped.emplace_back(s.Name, s.Reason);
    std::vector<std::pair<std::string, TSkipReason>> expected = {{"zelk0005.mis", TSkipReason::ReadOnly},
                                                                 {"zelk0777.mis", TSkipReason::NotFile},
                                                                 {"zelkabcd.mis", TSkipReason::NoNumber}};
#ifdef _WIN32
    EXPECT_EQ(r.Undescribed,
              (std::vector<std::pair<std::string, std::string>>{{"ZELK6000.MIS", "zelk6000_ru.properties"},
                                                                {"zelk1234.mis", "zelk1234_ru.properties"}}));
#else
    expected.insert(expected.begin(), {"ZELK6000.MIS", TSkipReason::Unreadable});
    EXPECT_EQ(r.Undescribed,
              (std::vector<std::pair<std::string, std::string>>{{"zelk1234.mis", "zelk1234_ru.properties"}}));
#endif
    EXPECT_EQ(skipped, expected);
}

#ifdef _WIN32
TEST(ScanMissionFolder, WindowsAttributesDecideWhichFilesAreOurs) {
    TTempDir dir;
    const struct {
        int Number;
        DWORD Attributes;
        bool Listed;
    } cases[] = {
        {1, FILE_ATTRIBUTE_ARCHIVE, true},   {2, FILE_ATTRIBUTE_NORMAL, true},
        {3, FILE_ATTRIBUTE_READONLY, false}, {4, FILE_ATTRIBUTE_HIDDEN, false},
        {5, FILE_ATTRIBUTE_SYSTEM, false},   {6, FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN, false},
    };
    for (const auto& c : cases) {
        WriteMission(dir.Path(), c.Number, FullMission(), "");
        const fs::path file = dir / ("zelk000" + std::to_string(c.Number) + ".mis");
        ASSERT_TRUE(SetFileAttributesW(file.c_str(), c.Attributes));
        // Wine adds the archive bit to whatever is set.
        if (c.Attributes != FILE_ATTRIBUTE_NORMAL) {
            ASSERT_EQ(GetFileAttributesW(file.c_str()) & c.Attributes, c.Attributes) << c.Number;
        }
    }
    const TScanResult r = ScanMissionFolder(dir.Path(), Targets({}));
    for (const auto& c : cases) {
        const bool listed =
            std::any_of(r.Missions.begin(), r.Missions.end(), [&](const auto& m) { return m->Number == c.Number; });
        EXPECT_EQ(listed, c.Listed) << "attributes " << c.Attributes;
    }
    for (const auto& c : cases)  // read-only files would outlive the temporary folder
        SetFileAttributesW((dir / ("zelk000" + std::to_string(c.Number) + ".mis")).c_str(), FILE_ATTRIBUTE_NORMAL);
}
#endif

TEST(ScanMissionFolder, TitleWithoutTankWordGivesNoTanks) {
    TTempDir dir;
    WriteMission(dir.Path(), 1, FullMission(), "Штурмовка - Мост [Т-34]");
    WriteMission(dir.Path(), 2, FullMission(), "Штурмовка - танки [Т-34]");
    const TScanResult r = ScanMissionFolder(dir.Path(), Targets({}));
    ASSERT_EQ(r.Missions.size(), 2u);
    for (const auto& m : r.Missions) EXPECT_EQ(m->Data.Tanks, m->Number == 1 ? 0 : 4) << m->Number;
}

TEST(ScanMissionFolder, GarbageNeverStopsTheScan) {
    TTempDir dir;
    std::mt19937 rng(11);
    for (int n = 1; n <= 30; ++n) {
        if (n % 3 == 0) {
            WriteMission(dir.Path(), n, FullMission(), "good");
            continue;
        }
        std::string noise(static_cast<std::size_t>(rng() % 20000), '\0');
        for (char& c : noise) c = static_cast<char>(rng());
        WriteMission(dir.Path(), n, noise, "");
        char prop[32];
        std::snprintf(prop, sizeof prop, "zelk%04d_ru.properties", n);
        WriteFileBytes(dir / prop, "Short \\u\\" + noise + "\r\nDescription \\" + noise);
    }
    const TScanResult r = ScanMissionFolder(dir.Path(), Targets({"x"}));
    EXPECT_EQ(r.Missions.size(), 30u);
    EXPECT_EQ(r.MaxNumber, 30);
    int good = 0;
    for (const auto& m : r.Missions)
        if (m->Name == "good") {
            ++good;
            EXPECT_EQ(m->Data.Aircraft, "BF_109G2");
        }
    EXPECT_EQ(good, 10);
    // Number order, not the listing's own.
    EXPECT_TRUE(std::is_sorted(r.Missions.begin(), r.Missions.end(),
                               [](const auto& a, const auto& b) { return a->Number < b->Number; }));
}

#ifndef _WIN32
// A FIFO would block the scan for ever, a device never end, a huge file
// take memory; none of them stops the good missions from being listed.
TEST(ScanMissionFolder, ReadsOnlyRegularFilesAndOnlyTheirStart) {
    TTempDir dir;
    WriteMission(dir.Path(), 1, FullMission(), "");
    ASSERT_EQ(mkfifo((dir / "zelk0001_ru.properties").c_str(), 0600), 0);
    WriteMission(dir.Path(), 2, FullMission(), "");
    fs::create_symlink("/dev/zero", dir / "zelk0002_ru.properties");
    std::string big = "Name big\r\n";
    for (int i = 0; i < 100000; ++i) big += "Short x\r\n";
    WriteMission(dir.Path(), 3, FullMission(), "");
    WriteFileBytes(dir / "zelk0003_ru.properties", big);
    fs::resize_file(dir / "zelk0003_ru.properties", 4ull << 30);
    // A FIFO in a mission file's place is not listed, but its number is used.
    ASSERT_EQ(mkfifo((dir / "zelk0009.mis").c_str(), 0600), 0);

    const TScanResult r = ScanMissionFolder(dir.Path(), Targets({}));
    EXPECT_EQ(r.MaxNumber, 9);
    ASSERT_EQ(r.Missions.size(), 3u);
    EXPECT_EQ(r.Missions[0]->Name, "zelk0001.mis");
    EXPECT_EQ(r.Missions[1]->Name, "zelk0002.mis");
    EXPECT_EQ(r.Missions[2]->Name, "big");
    EXPECT_LE(r.Missions[2]->Short.size(), 100u);
    for (const auto& m : r.Missions) EXPECT_EQ(m->Data.Aircraft, "BF_109G2");
}
#endif

// Replaces the folder lister for one test.
struct TListerSwap {
    explicit TListerSwap(TFolderLister lister) : saved(FolderLister()) { FolderLister() = std::move(lister); }
    ~TListerSwap() { FolderLister() = saved; }
    TFolderLister saved;
};

TEST(ScanMissionFolder, ListingThatBreaksOffIsAnError) {
    TTempDir dir;
    WriteMission(dir.Path(), 1, FullMission(), "one");
    WriteMission(dir.Path(), 2, FullMission(), "two");
    for (const bool atOpen : {true, false}) {
        TListerSwap swap([atOpen](const fs::path&, const std::function<void(const std::string&)>& onName, int& error) {
            if (!atOpen) onName("zelk0001.mis");
            error = atOpen ? EACCES : EIO;
            return false;
        });
        const TScanResult r = ScanMissionFolder(dir.Path(), Targets({}));
        EXPECT_TRUE(r.ListFailed) << atOpen;
        EXPECT_EQ(r.ListError, atOpen ? EACCES : EIO);
        EXPECT_TRUE(r.Missions.empty()) << atOpen;
    }
    EXPECT_EQ(FolderListErrorText(EIO), W("Папку ZELK невозможно прочитать (ошибка ввода-вывода)!"));
    EXPECT_FALSE(ScanMissionFolder(dir.Path(), Targets({})).ListFailed);
}

TEST(ScanMissionFolder, CreatesMissingFolderOrReportsIt) {
    TTempDir dir;
    const fs::path folder = dir / "a/b/ZELK";
    const TScanResult r = ScanMissionFolder(folder, Targets({}));
    EXPECT_FALSE(r.FolderFailed);
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_TRUE(r.Missions.empty());
    EXPECT_EQ(r.MaxNumber, 0);

    WriteFileBytes(dir / "file", "in the way");
    const TScanResult bad = ScanMissionFolder(dir / "file/ZELK", Targets({}));
    EXPECT_TRUE(bad.FolderFailed);
    EXPECT_TRUE(bad.Missions.empty());
    EXPECT_EQ(FolderCreateErrorText(), W("Папку ZELK невозможно создать!"));
}

TEST(ScanMissionFolder, ProgressReachesTheTotalOfAScanSharedByThreads) {
    TTempDir dir;
    // Enough for several readers and a batch left over; the entries left
    // out count as dealt with.
    constexpr int kCount = 700;
    for (int n = 1; n <= kCount; ++n) {
        char folder[16];
        std::snprintf(folder, sizeof folder, "zelk%04d.mis", n);
        if (n % 100 == 0)
            fs::create_directory(dir.Path() / folder);
        else
            WriteMission(dir.Path(), n, Lines({"  TIME 1.0"}), "");
    }
    TScanProgress progress;
    const TScanResult r = ScanMissionFolder(dir.Path(), Targets({}), &progress);
    EXPECT_EQ(progress.Total.load(), std::size_t{kCount});
    EXPECT_EQ(progress.Done.load(), std::size_t{kCount});
    ASSERT_EQ(r.Missions.size(), std::size_t{kCount - kCount / 100});
    EXPECT_TRUE(std::is_sorted(r.Missions.begin(), r.Missions.end(),
                               [](const auto& a, const auto& b) { return a->Number < b->Number; }));
}

}  // namespace
}  // namespace zelk
