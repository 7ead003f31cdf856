// Whole mission files for fixed draws, compared byte for byte with files
// worked out by hand.
#include "generator/writer.h"

#include <gtest/gtest.h>

#include <clocale>

#include "files/error.h"
#include "fixture.h"
#include "support/tempdir.h"

namespace zelk::test {
namespace {

// The base mission of the fixture: no fighters, straight route, noon.
constexpr std::string_view kBase = R"([MAIN]
  MAP Island/load.ini
  TIME 12.0
  CloudType 1
  CloudHeight 800.0
  player r0100
  army 1
  playerNum 0
[Wing]
  r0100
[r0100]
  Planes 1
  Skill 3
  Class air.PE_2S1
  Fuel 100
  weapons p0
[r0100_Way]
  NORMFLY 9000.00 20000.00 1000 300.00 &0
  GATTACK 10000.00 19000.00 1000 300.00 &0
  NORMFLY 10500.50 19749.75 1000 300.00 &0
  NORMFLY 7000.00 22000.00 1000 300.00 &0
[Chiefs]
[NStationary]
1_Static vehicles.artillery.Artillery$Flak30_20mm 2 10100.00 20100.00 90.00 0.0
2_Static vehicles.artillery.Artillery$Flak18_37mm 2 9900.00 19900.00 270.00 0.0
[Target]
3 0 0 10000 20000 500
[StaticCamera]
10000 20000 100 1
[House]
[FrontMarker]
FrontMarker0 9000.00 19000.00 1
FrontMarker1 11000.00 21000.00 2
)";

constexpr std::string_view kBaseWaypoints = R"(  NORMFLY 9000.00 20000.00 1000 300.00 &0
  GATTACK 10000.00 19000.00 1000 300.00 &0
  NORMFLY 10500.50 19749.75 1000 300.00 &0
  NORMFLY 7000.00 22000.00 1000 300.00 &0
)";

class WriterTest : public ::testing::Test {
protected:
    TWorld world;

    std::string Mission(const TMission& m, std::uint64_t seed) {
        return BuildMissionFiles(m, world.Ref, {}, seed).MissionBytes;
    }
};

TEST_F(WriterTest, NoFightersGivesTheBaseFileForAnySeed) {
    const TMission m = BaseMission();
    EXPECT_EQ(Mission(m, 1), MisText(kBase));
    EXPECT_EQ(Mission(m, 987654321), MisText(kBase));
}

TEST_F(WriterTest, EnemyFightersAsInTheWorkedExample) {
    TMission m = BaseMission();
    m.Data.Difficulty = 1;
    m.Data.Fighters = 2;
    // Heading (any), fighter type 2, altitude value 1, skill 1, route 1.
    const auto seed = FindSeed([](TRandom& r) {
        r.DrawRange(0, 34);
        return r.DrawRange(1, 10) == 2 && r.DrawRange(0, 2) == 1 && r.DrawRange(0, 2) == 1 && r.DrawRange(1, 3) == 1;
    });
    std::string expected = ReplaceOne(std::string(kBase), "[Wing]\n  r0100\n", R"([Wing]
  r0100
  g0100
[g0100]
  Planes 2
  Skill 1
  Class air.BF_109G2
  Fuel 50
  weapons default
[g0100_Way]
  NORMFLY 12000.00 20000.00 1500 300.00 &0
  NORMFLY 10500.00 21000.00 1500 300.00 &0
  NORMFLY 9000.00 21000.00 1500 300.00 r0100 1 &0
  NORMFLY 9000.00 19000.00 1500 300.00 &0
  NORMFLY 10500.00 19000.00 1500 300.00 &0
  NORMFLY 10500.00 21000.00 1500 300.00 &0
)");
    // A combat sortie gives the target objects to the enemy side.
    expected = ReplaceOne(expected, "10000 20000 100 1\n", "10000 20000 100 2\n");
    EXPECT_EQ(Mission(m, seed), MisText(expected));
}

TEST_F(WriterTest, FighterAltitudeKeepsToFloorAndCeiling) {
    TMission m = BaseMission();
    m.Data.Fighters = 1;
    m.Data.Army = 2;  // enemy side 1
    const auto typeOneLow = FindSeed([](TRandom& r) {
        r.DrawRange(0, 34);
        return r.DrawRange(1, 10) == 1 && r.DrawRange(0, 2) == 0;
    });
    const auto typeOneHigh = FindSeed([](TRandom& r) {
        r.DrawRange(0, 34);
        return r.DrawRange(1, 10) == 1 && r.DrawRange(0, 2) == 2;
    });
    // The third patrol point, the same on every route, shows the altitude.
    m.Data.Height = 50;
    const std::string low = U8(Mission(m, typeOneLow));
    EXPECT_NE(low.find("[r0100]\r\n  Planes 1\r\n"), std::string::npos) << low;
    EXPECT_NE(low.find("  Class air.I_16TYPE24\r\n"), std::string::npos) << low;
    EXPECT_NE(low.find(" 1000 300.00 g0100 1 &0\r\n"), std::string::npos) << low;
    EXPECT_NE(U8(Mission(m, typeOneHigh)).find(" 1050 300.00 g0100 1 &0\r\n"), std::string::npos);
    m.Data.Height = 15000;
    EXPECT_NE(U8(Mission(m, typeOneLow)).find(" 9700 300.00 g0100 1 &0\r\n"), std::string::npos);
}

TEST_F(WriterTest, RandomRouteTurnsAllButTheAttackPoint) {
    TMission m = BaseMission();
    m.Data.RandomRoute = 1;
    auto headingSeed = [](int step) { return FindSeed([step](TRandom& r) { return r.DrawRange(0, 34) == step; }); };

    EXPECT_EQ(Mission(m, headingSeed(0)), MisText(kBase));

    EXPECT_EQ(Mission(m, headingSeed(9)), MisText(ReplaceOne(std::string(kBase), kBaseWaypoints,
                                                             R"(  NORMFLY 10000.00 19000.00 1000 300.00 &0
  GATTACK 10000.00 19000.00 1000 300.00 &0
  NORMFLY 10250.25 20500.50 1000 300.00 &0
  NORMFLY 8000.00 17000.00 1000 300.00 &0
)")));

    // 30 degrees: cos is taken as 0.866, so the first point lands on 9134.00
    // (the exact cosine would give 9133.97).
    EXPECT_EQ(Mission(m, headingSeed(3)), MisText(ReplaceOne(std::string(kBase), kBaseWaypoints,
                                                             R"(  NORMFLY 9134.00 19500.00 1000 300.00 &0
  GATTACK 10000.00 19000.00 1000 300.00 &0
  NORMFLY 10558.56 20033.53 1000 300.00 &0
  NORMFLY 6402.00 20232.00 1000 300.00 &0
)")));

    // Off, the same heading changes nothing.
    m.Data.RandomRoute = 0;
    EXPECT_EQ(Mission(m, headingSeed(9)), MisText(kBase));
}

TEST_F(WriterTest, FlightSetsThePlayersPlanes) {
    const std::pair<int, const char*> cases[] = {{0, "  Planes 1\n"}, {1, "  Planes 2\n"}, {2, "  Planes 4\n"}};
    for (const auto& [flight, line] : cases) {
        TMission m = BaseMission();
        m.Data.Flight = flight;
        EXPECT_EQ(Mission(m, 5), MisText(ReplaceOne(std::string(kBase), "  Planes 1\n", line))) << flight;
    }
}

TEST_F(WriterTest, LevelBombingFromTwoThousandMetresGetsHeavyFlak) {
    TMission m = BaseMission();
    m.Data.Mode = 3;
    m.Data.Height = 2000;
    const std::string heavy = R"([MAIN]
  MAP Island/load.ini
  TIME 12.0
  CloudType 1
  CloudHeight 800.0
  player r0100
  army 1
  playerNum 0
[Wing]
  r0100
[r0100]
  Planes 1
  Skill 3
  Class air.PE_2S1
  Fuel 100
  weapons p3
[r0100_Way]
  NORMFLY 6000.00 20000.00 2000 300.00 &0
  GATTACK 8000.00 19900.00 2000 300.00 &0
  NORMFLY 10000.00 21000.00 2000 300.00 &0
  NORMFLY 13000.00 23000.00 2000 300.00 &0
[Chiefs]
[NStationary]
1_Static vehicles.artillery.Artillery$Flak18_88mm 2 10100.00 20100.00 90.00 0.0
2_Static vehicles.artillery.Artillery$Flak18_88mm 2 9900.00 19900.00 270.00 0.0
[Target]
3 0 0 10000 20000 500
[StaticCamera]
10000 20000 100 1
[House]
[FrontMarker]
FrontMarker0 9000.00 19000.00 1
FrontMarker1 11000.00 21000.00 2
)";
    EXPECT_EQ(Mission(m, 3), MisText(heavy));

    m.Data.Height = 1999;
    std::string light = heavy;
    for (const char* point : {"6000.00 20000.00", "8000.00 19900.00", "10000.00 21000.00", "13000.00 23000.00"})
        light = ReplaceOne(light, std::string(point) + " 2000 ", std::string(point) + " 1999 ");
    light = ReplaceOne(light, "Artillery$Flak18_88mm 2 10100", "Artillery$Flak30_20mm 2 10100");
    light = ReplaceOne(light, "Artillery$Flak18_88mm 2 9900", "Artillery$Flak18_37mm 2 9900");
    EXPECT_EQ(Mission(m, 3), MisText(light));

    // Only level bombing swaps: a ground attack at 5000 m keeps its guns.
    m = BaseMission();
    m.Data.Height = 5000;
    EXPECT_EQ(U8(Mission(m, 3)).find("88mm"), std::string::npos);
}

TEST_F(WriterTest, NightLinesFollowTheStationaryLinesFromTwentyToFive) {
    const std::string night = "3_Static vehicles.lights.Searchlight 1 10050.00 20050.00 0.00 0.0\n";
    for (int hour : {0, 5, 20, 23}) {
        TMission m = BaseMission();
        m.Data.Time = hour;
        std::string expected = ReplaceOne(std::string(kBase), "TIME 12.0", "TIME " + std::to_string(hour) + ".0");
        expected = ReplaceOne(expected, "270.00 0.0\n[Target]", "270.00 0.0\n" + night + "[Target]");
        EXPECT_EQ(Mission(m, 2), MisText(expected)) << hour;
    }
    for (int hour : {6, 19}) {
        TMission m = BaseMission();
        m.Data.Time = hour;
        EXPECT_EQ(Mission(m, 2),
                  MisText(ReplaceOne(std::string(kBase), "TIME 12.0", "TIME " + std::to_string(hour) + ".0")))
            << hour;
    }
}

TEST_F(WriterTest, RedColumnsSwapOneVehiclePerLine) {
    TMission m = BaseMission();
    m.Data.Target = W("Колонна у переправы");
    m.Data.Army = 2;  // a blue player attacks red columns
    const std::string red = R"([MAIN]
  MAP Island/load.ini
  TIME 12.0
  CloudType 1
  CloudHeight 800.0
  player g0100
  army 2
  playerNum 0
[Wing]
  g0100
[g0100]
  Planes 1
  Skill 3
  Class air.PE_2S1
  Fuel 100
  weapons p0
[g0100_Way]
  NORMFLY 4000.25 -800.00 1000 300.00 &0
  GATTACK 5000.25 -1800.00 1000 300.00 &0
  NORMFLY 5500.75 -1050.25 1000 300.00 &0
  NORMFLY 2000.25 1200.00 1000 300.00 &0
[Chiefs]
0_Chief Armor.1-ZSU-37 1-Nimrod SdKfz251 
1_Chief Armor.MaximeGAZ SdKfz251 x
2_Chief Vehicles.GAZ 1
[StaticCamera]
)";
    EXPECT_EQ(Mission(m, 4), MisText(red));

    // Blue columns keep the template's vehicles.
    m.Data.Army = 0;
    const std::string blue = U8(Mission(m, 4));
    EXPECT_NE(blue.find("0_Chief Armor.1-Nimrod 1-Nimrod SdKfz251 \r\n1_Chief Armor.SdKfz251 SdKfz251 x\r\n"),
              std::string::npos)
        << blue;
}

TEST_F(WriterTest, EveryPlaceholderAndTheTankSuffix) {
    TMission m = BaseMission();
    m.Data.Target = W("Колонна: танки синих, Топливный поезд, Essex и Akagi");
    m.Data.Army = 2;        // a blue player, yet the title names blue tanks
    m.Data.Difficulty = 1;  // targets belong to the enemy: army 1
    m.Data.Tanks = 5;
    m.Data.Height = 1200;
    const std::string expected = R"([MAIN]
  MAP Island/load.ini
  TIME 12.0
  CloudType 1
  CloudHeight 800.0
  player g0100
  army 2
  playerNum 0
[Wing]
  g0100
[g0100]
  Planes 1
  Skill 3
  Class air.PE_2S1
  Fuel 100
  weapons p0
[g0100_Way]
  NORMFLY 9000.00 20000.00 1200 300.00 &0
  GATTACK 10000.00 19000.00 1200 300.00 &0
  NORMFLY 10500.50 19749.75 1200 300.00 &0
  NORMFLY 7000.00 22000.00 1200 300.00 &0
[Chiefs]
0_Chief Armor.4-PzIVE 2 PzIVE
1_Chief Armor.1-PzIVE 2
2_Chief Ships.IJNAkagiCVUSSEssexCV9 1
3_Chief Trains.Germany_FuelTrain/AA 1
alt 1200, odd z end
[Target]
4 0 0 PzIVE
[StaticCamera]
)";
    const TMissionFiles files = BuildMissionFiles(m, world.Ref, {}, 11);
    EXPECT_EQ(files.MissionBytes, MisText(expected));
    EXPECT_EQ(U8(files.Title), "Штурмовка - Колонна: танки синих, Топливный поезд, Essex и Akagi [Pz.IVE]");
    EXPECT_EQ(files.PropBytes, ReadFileBytes(ZELK_SOURCE_DIR "/tests/core/generator/expected/tanks_ru.properties"));
    EXPECT_EQ(U8(files.Short).rfind("Колонна: танки синих, Топливный поезд, Essex и Akagi [Pz.IVE], Остров,\r\n", 0),
              0u);

    // A random tank type gives no suffix.
    m.Data.Tanks = 0;
    EXPECT_EQ(U8(BuildMissionFiles(m, world.Ref, {}, 11).Title),
              "Штурмовка - Колонна: танки синих, Топливный поезд, Essex и Akagi");
}

TEST_F(WriterTest, DescriptionFilesExactToTheByte) {
    const std::string dir = ZELK_SOURCE_DIR "/tests/core/generator/expected/";
    const TMissionFiles base = BuildMissionFiles(BaseMission(), world.Ref, {}, 1);
    EXPECT_EQ(base.PropBytes, ReadFileBytes(dir + "base_ru.properties"));
    EXPECT_EQ(U8(base.Title), "Штурмовка - Склад у дороги");
    EXPECT_EQ(base.Comment, "");

    TMission m = BaseMission();
    m.Data.Mode = 3;
    m.Data.Moving = 1;
    m.Data.Difficulty = 1;
    m.Data.RandomRoute = 1;
    m.Data.Army = 3;
    m.Data.Fighters = 3;
    m.Data.Aircraft = "IL_2_3";
    m.Data.Height = 2500;
    m.Data.Time = 5;
    m.Data.Weather = 6;
    m.Data.Clouds = "1500";
    const TMissionFiles combat = BuildMissionFiles(m, world.Ref, {W("Ёлка"), W("ёж a=b")}, 1);
    EXPECT_EQ(combat.PropBytes, ReadFileBytes(dir + "combat_ru.properties"));
    EXPECT_EQ(U8(combat.Comment), "Ёлка\r\nёж a=b");
    // Fighter cover is only mentioned in a combat sortie.
    m.Data.Difficulty = 0;
    EXPECT_EQ(U8(BuildMissionFiles(m, world.Ref, {}, 1).Short).find("истребительное"), std::string::npos);
}

TEST_F(WriterTest, FailuresNameWhatIsWrong) {
    TMission m = BaseMission();
    m.Data.Target = W("Нет такой цели");
    try {
        BuildMissionFiles(m, world.Ref, {}, 1);
        ADD_FAILURE() << "no error";
    } catch (const TFileError& e) {
        EXPECT_NE(std::string(e.what()).find("«Нет такой цели»"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("«Island/load.ini»"), std::string::npos) << e.what();
    }

    m.Data.Target = W("Цель в другом файле");
    try {
        BuildMissionFiles(m, world.Ref, {}, 1);
        ADD_FAILURE() << "no error";
    } catch (const TFileError& e) {
        EXPECT_EQ(e.File().filename(), "orvak_zelk.rc5");
    }

    m.Data.Target = W("Сломанная цель");
    EXPECT_THROW(BuildMissionFiles(m, world.Ref, {}, 1), TFileError);

    // Read back while its map was left out: the title still names the target.
    m = BaseMission();
    m.Data.Map = "Gone/load.ini";
    m.Data.Target.clear();
    m.Name = W("Штурмовка - Склад [Т-34]");
    try {
        BuildMissionFiles(m, world.Ref, {}, 1);
        ADD_FAILURE() << "no error";
    } catch (const TFileError& e) {
        EXPECT_NE(std::string(e.what()).find("цель «Склад» на карте «Gone/load.ini» недоступна"), std::string::npos)
            << e.what();
    }

    m = BaseMission();
    m.Data.Mode = 7;
    EXPECT_THROW(BuildMissionFiles(m, world.Ref, {}, 1), TFileError);
    m = BaseMission();
    m.Data.Army = -1;
    EXPECT_THROW(BuildMissionFiles(m, world.Ref, {}, 1), TFileError);
    m = BaseMission();
    m.Number = 10000;  // would share its description file with number 1000
    EXPECT_THROW(BuildMissionFiles(m, world.Ref, {}, 1), TFileError);
}

TEST_F(WriterTest, UnknownAircraftFallsBackToTheFirstOnesWeapons) {
    TMission m = BaseMission();
    m.Data.Aircraft = "NO_SUCH_PLANE";
    const TMissionFiles files = BuildMissionFiles(m, world.Ref, {}, 1);
    EXPECT_EQ(files.MissionBytes, MisText(ReplaceOne(ReplaceOne(std::string(kBase), "air.PE_2S1", "air.NO_SUCH_PLANE"),
                                                     "weapons p0", "weapons 4xFAB100")));
    // The summary names no aircraft rather than the wrong one.
    EXPECT_NE(U8(files.Short).find("самолет         ,"), std::string::npos);
}

TEST(WriterPieces, CoordinatesUseAPointInEveryLocale) {
    EXPECT_EQ(PointDecimals("500,25 -800,00 x"), "500.25 -800.00 x");
    EXPECT_EQ(FormatCoordinate(500.25), "500.25");
    EXPECT_EQ(FormatCoordinate(-800), "-800.00");
    EXPECT_EQ(FormatCoordinate(0.125), "0.12");  // binary 0.125 is a tie: to even
    EXPECT_EQ(FormatCoordinate(123456789.996), "123456790.00");

    for (const char* name : {"de_DE.UTF-8", "ru_RU.UTF-8", "ru_RU.CP1251", "fr_FR.UTF-8"}) {
        if (std::setlocale(LC_NUMERIC, name) == nullptr) continue;
        EXPECT_EQ(FormatCoordinate(500.25), "500.25") << name;
        std::setlocale(LC_NUMERIC, "C");
    }
}

TEST(WriterPieces, RotationAndAircraftLookUp) {
    double dx = 1000, dy = 0;
    RotateRouteOffset(dx, dy, 90, true);
    EXPECT_DOUBLE_EQ(dx, 0);
    EXPECT_DOUBLE_EQ(dy, 1000);
    dx = 0, dy = 1000;
    RotateRouteOffset(dx, dy, 90, true);
    EXPECT_DOUBLE_EQ(dx, -1000);
    EXPECT_DOUBLE_EQ(dy, 0);
    dx = 1000, dy = 0;
    RotateRouteOffset(dx, dy, 90, false);
    EXPECT_DOUBLE_EQ(dx, 1000);

    TAircraftsColl coll;
    coll.Items.resize(3);
    coll.Items[1].AirClass = "B";
    coll.Items[2].AirClass = "B";
    EXPECT_EQ(FindAircraftIndex("B", coll), 1);
    EXPECT_EQ(FindAircraftIndex("b", coll), 0);
}

}  // namespace
}  // namespace zelk::test
