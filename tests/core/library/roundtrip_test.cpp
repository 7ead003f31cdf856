// Saving missions with the generator and scanning them back gives every
// parameter that the files carry.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <tuple>
#include <algorithm>
#include <string>
#include <vector>

#include "data/catalogues.h"
#include "data/codepage.h"
#include "data/datawriter.h"
#include "files/error.h"
#include "data/refdata.h"
#include "library/availability.h"
#include "library/commands.h"
#include "mission/params.h"
#include "library/scan.h"
#include "support/datafiles.h"
#include "support/tempdir.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;
using test::TTempDir;

// A target whose cells are defined where `defined(moving, difficulty, mode)`.
template <class F>
TDataFileSource::Target MakeTarget(const std::string& name, const std::string& mapKey, int dataFile, F defined) {
    TDataFileSource::Target t = test::SimpleTarget(W(name), mapKey, dataFile);
    for (int m = 0; m < 2; ++m)
        for (int d = 0; d < 2; ++d)
            for (int k = 0; k < 4; ++k) {
                TVariantCell& c = t.Variants[m][d][k];
                c.PointX = 10000 + 100 * k;
                c.PointY = 20000 - 50 * d;
                if (!defined(m, d, k)) c.StaticCameraBlock = -1;
            }
    return t;
}

// Two maps, targets offering different combinations (tank targets among
// them), three aircraft for different mission types.
struct TDataSet {
    TTempDir Dir;
    TRefData Ref;

    TDataSet() {
        TDataFileSource f0 = test::PrimarySource(W("Заречье"), "maps/zarechye/load.ini", 0);
        f0.Blocks = {{"  0_Chief Armor.%p 1", "  1_Chief Vehicles.%b 2", "  2_Static vehicles.tanks.%t 1 10.00 20.00"},
                     {"  1 2 3", "  4 5 6"}};
        f0.Aircrafts.clear();
        for (auto [name, cls, modes] :
             {std::tuple{"Ил-2", "IL_2M", 0b1111}, {"Пе-2", "PE_2", 0b1100}, {"Ил-4Т", "IL_4T", 0b0010}}) {
            TAircraft a;
            a.Name = W(name);
            a.AirClass = cls;
            a.Modes = static_cast<std::uint8_t>(modes);
            a.Weapons = {"w0", "w1", "w2", "w3"};
            f0.Aircrafts.push_back(a);
        }
        const auto all = [](int, int, int) { return true; };
        f0.Targets = {
            MakeTarget("Мост через реку", f0.Map.Key, 0, all),
            MakeTarget("Склад горючего", f0.Map.Key, 0, [](int m, int, int k) { return m == 0 && k != 1; }),
            MakeTarget("Колонна, танки синих", f0.Map.Key, 0, [](int, int d, int) { return d == 1; }),
            MakeTarget("Эшелон на станции", "maps/step/load.ini", 0, all),
        };
        TDataFileSource f1 = test::SupplementSource(1, W("Степь"), "maps/step/load.ini", 0);
        f1.Targets = {
            MakeTarget("Батарея", f1.Map.Key, 1, [](int, int, int k) { return k == 0 || k == 3; }),
            MakeTarget("танки на марше", f1.Map.Key, 1, all),
        };
        // The program folder under a Cyrillic name, as in C:\Игры\ORVAK\ZELK.
        const std::filesystem::path folder = Dir.Path() / std::filesystem::path(u8"Игры/ORVAK/ZELK");
        std::filesystem::create_directories(folder);
        test::WriteDataFile(folder, 0, f0);
        test::WriteDataFile(folder, 1, f1);
        Ref = LoadRefData(folder);
    }
};

// Comment lines of Latin and Cyrillic letters, digits, punctuation and
// backslashes (a typed path, a typed "\n").
std::vector<std::string> RandomComment(std::mt19937& rng) {
    static const std::vector<std::string> words = {
        W("Атака"), W("с ходу,"), "ok", W("ёлка"), "42", W("Ёж!"), "-", "", "C:\\users\\new\\test", W("\\n\\u0410\\Я")};
    std::vector<std::string> lines(rng() % 4);
    for (auto& l : lines)
        for (std::size_t i = rng() % 5; i > 0; --i) l += (l.empty() ? "" : " ") + words[rng() % words.size()];
    return lines;
}

TEST(RoundTrip, SaveThenScanGivesBackWhatTheFilesCarry) {
    TDataSet data;
    ASSERT_EQ(data.Ref.Maps.Count(), 2);
    TTempDir root;
    const std::filesystem::path missions = root / std::filesystem::path(u8"Игры/ORVAK/Missions/Single/NN/ZELK");
    std::filesystem::create_directories(missions);
    std::mt19937 rng(2024);
    TMissionLibrary lib;

    // Every value comes from the ranges the window and zelk-cli offer, so that
    // the read-back is checked against the same table.
    const auto draw = [&rng](TParamRange r, int step = 1) {
        return r.Lo + step * static_cast<int>(rng() % static_cast<unsigned>((r.Hi - r.Lo) / step + 1));
    };
    constexpr int kMissions = 120;
    for (int i = 0; i < kMissions; ++i) {
        const int at = lib.NewMission(DefaultsFromRefData(data.Ref));
        ASSERT_GE(at, 0);
        TMission& m = lib.At(at);
        TMissionData& d = m.Data;
        d.Map = data.Ref.Maps.Items[rng() % 2].Key;
        const auto targets = data.Ref.Targets.SelectMap(d.Map);
        d.Target = targets[rng() % targets.size()]->Name;
        d.Moving = static_cast<std::uint8_t>(draw(kMovingRange));
        d.Mode = static_cast<std::uint8_t>(draw(kModeRange));
        d.Difficulty = static_cast<std::uint8_t>(draw(kDifficultyRange));
        d.Aircraft = data.Ref.Aircrafts.Items[rng() % 3].AirClass;
        d.Army = draw(kArmyRange);
        d.Flight = draw(kFlightRange);
        d.Height = draw(kHeightRange, kHeightStep);
        d.Clouds = CloudNames[rng() % CloudNames.size()];
        d.Time = draw(kTimeRange);
        d.Weather = draw(kWeatherRange);
        d.Tanks = draw(kTanksRange);
        d.RandomRoute = static_cast<std::uint8_t>(draw(kRandomRouteRange));
        d.Fighters = draw(kFightersRange);
        SettleMission(m, data.Ref);
        lib.SaveMission(m.FileName, data.Ref, missions, RandomComment(rng), 1000 + i);
        ASSERT_EQ(m.IsNew, 0);
    }

    TMissionLibrary back;
    ASSERT_TRUE(back.Load(missions, data.Ref.Targets));
    ASSERT_EQ(back.Count(), kMissions);
    EXPECT_EQ(back.Counter, kMissions);
    for (int i = 0; i < back.Count(); ++i) {
        const TMission& got = back.At(i);
        const int at = lib.FindByFileName(got.FileName);
        ASSERT_GE(at, 0) << got.FileName;
        const TMission& saved = lib.At(at);
        TMissionData expected = saved.Data;
        // The tank type lives in the title only for tank targets.
        if (LowerCp1251(expected.Target).find(W("танки ")) == std::string::npos) expected.Tanks = 0;
        EXPECT_EQ(got.Data, expected) << got.FileName;
        EXPECT_EQ(got.Number, saved.Number);
        EXPECT_EQ(got.Name, saved.Name);
        EXPECT_EQ(got.Short, saved.Short);
        EXPECT_EQ(got.Comment, saved.Comment);
        EXPECT_FALSE(got.IsUnsaved());
    }
}

TEST(RoundTrip, SaveOfAnUnlistedNameLeavesTheFolderAlone) {
    TDataSet data;
    TTempDir missions;
    TMissionLibrary lib;
    const int at = lib.NewMission(DefaultsFromRefData(data.Ref));
    SettleMission(lib.At(at), data.Ref);
    lib.SaveMission("zelk0001.mis", data.Ref, missions.Path(), {}, 1);
    const std::string before = test::ReadFileBytes(missions / "zelk0001.mis");

    lib.At(at).Data.Height = 3000;
    EXPECT_THROW(lib.SaveMission("zelk0002.mis", data.Ref, missions.Path(), {}, 2), TFileError);
    // A variant its target lacks would be written without the target.
    TMissionData& d = lib.At(at).Data;
    d.Target = W("Склад горючего");
    d.Moving = 1;
    EXPECT_THROW(lib.SaveMission("zelk0001.mis", data.Ref, missions.Path(), {}, 2), TVariantRefused);
    EXPECT_THROW(lib.SaveMission("ZELK0001.MIS", data.Ref, missions.Path(), {}, 2), TFileError);
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(missions.Path())) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"zelk0001.mis", "zelk0001_ru.properties"}));
    EXPECT_EQ(test::ReadFileBytes(missions / "zelk0001.mis"), before);
    EXPECT_TRUE(lib.At(at).IsModified());
}

}  // namespace
}  // namespace zelk
