// Object lines, the tank set-up and the tank suffix's inverse.
#include "generator/objects.h"

#include <gtest/gtest.h>

#include "files/error.h"
#include "data/refdata.h"
#include "fixture.h"
#include "generator/random.h"
#include "generator/tanks.h"

namespace zelk::test {
namespace {

std::string Expand(std::string_view utf8, const TMissionData& d, TObjectWork& w) {
    return U8(ExpandObjectLine(W(utf8), d, w));
}

TObjectWork Work(int side, std::array<int, 10> slots = {0, 1, 1, 1, 1, 1, 1, 1, 1, 1}) {
    TObjectWork w;
    w.TankSide = static_cast<TTankSide>(side);
    w.TankSlots = slots;
    return w;
}

TEST(ExpandObjectLine, HeavyFlakReplacesEveryLightGun) {
    TMissionData d;
    TObjectWork w = Work(2);
    const std::string line = "a$Flak18_37mm b$Flak30_20mm c$Flak30_20mm d$Flak18_37mm $Flak30_20m";
    EXPECT_EQ(Expand(line, d, w), line);
    w.HeavyFlak = true;
    EXPECT_EQ(Expand(line, d, w), "a$Flak18_88mm b$Flak18_88mm c$Flak18_88mm d$Flak18_88mm $Flak30_20m");
}

TEST(ExpandObjectLine, RedColumnsSwapAtMostOneVehicle) {
    TMissionData d;
    TObjectWork red = Work(1), blue = Work(2);
    EXPECT_EQ(Expand("x 1-Nimrod y SdKfz251 z 1-Nimrod ", d, red), "x 1-ZSU-37 y SdKfz251 z 1-Nimrod ");
    EXPECT_EQ(Expand("SdKfz251 SdKfz251 ", d, red), "MaximeGAZ SdKfz251 ");
    EXPECT_EQ(Expand("1-Nimrod, SdKfz251", d, red), "1-Nimrod, SdKfz251");  // no trailing blank, no match
    EXPECT_EQ(Expand("x 1-Nimrod y SdKfz251 ", d, blue), "x 1-Nimrod y SdKfz251 ");
}

TEST(ExpandObjectLine, TankPlaceholdersWalkTheSlots) {
    TMissionData d;
    TObjectWork blue = Work(2, {0, 3, 3, 3, 9, 10, 11, 12, 13, 0});
    EXPECT_EQ(Expand("%t %p %b", d, blue), "LT_38 4-LT_38 1-LT_38");
    // The cursor is shared by all lines: slots 4 to 9 next.
    EXPECT_EQ(Expand("%t|%p|%b|%t|%t", d, blue), "PzVA|4-PzVIB|1-Jagdpanther|Ferdinand|MarderIII");
    // Slot 9 holds the heavy gun; a tenth placeholder keeps using slot 9.
    EXPECT_EQ(Expand("%t %t", d, blue), "Karl_600mm Karl_600mm");
    // The heavy gun has no column group: %p and %b take the side's first.
    EXPECT_EQ(Expand("%p %b", d, blue), "4-PzIIF 1-PzIIF");
    EXPECT_EQ(blue.TankSlotCursor, 13);

    TObjectWork red = Work(1, {0, 6, 6, 13, 1, 1, 1, 1, 1, 1});
    EXPECT_EQ(Expand("%p %b %t", d, red), "3-SU-76M 1-SU-76M T70M");
}

TEST(ExpandObjectLine, CarriersTrainsHeightArmyAndStrayPercents) {
    TMissionData d;
    d.Height = 1234;
    TObjectWork w = Work(2);
    w.Title = "Saratoga, Zuikaku and essex";
    EXPECT_EQ(Expand("[%v]", d, w), "[IJNZuikakuCVUSSSaratogaCV3]");
    w.Title = W("Штурмовка - Эшелон Командования и БОЕПРИПАСЫ");
    EXPECT_EQ(Expand("%r;", d, w), "Germany_CargoTrainA/AAGermany_CommandStaffTrain/AA;");
    w.Title = W("Штурмовка - Товарный поезд");
    EXPECT_EQ(Expand("%r %v.", d, w), "Germany_CargoTrain/AA .");

    EXPECT_EQ(Expand("h=%h q=%q pp=%%x end%", d, w), "h=1234 q= pp=x end");

    const std::pair<int, int> armies[] = {{0, 1}, {1, 1}, {2, 2}, {3, 2}};
    for (const auto& [army, own] : armies) {
        d.Army = army;
        d.Difficulty = 0;
        EXPECT_EQ(Expand("%a", d, w), std::to_string(own)) << army;
        d.Difficulty = 1;
        EXPECT_EQ(Expand("%a", d, w), std::to_string(3 - own)) << army;
    }
}

TEST(SetUpTanks, SideSuffixAndHeavyFlak) {
    TMissionData d;
    TRandom rnd(1);
    TObjectWork w;

    d.Army = 2;  // enemy side 1
    d.Tanks = 4;
    d.Target = W("Танки у моста");
    w.Title = W("Штурмовка - ") + d.Target;
    SetUpTanks(d, w, rnd);
    EXPECT_EQ(w.TankSide, TTankSide::Red);
    EXPECT_EQ(w.TankSlots, (std::array<int, 10>{0, 4, 4, 4, 4, 4, 4, 4, 4, 4}));
    EXPECT_EQ(U8(w.TankSuffix), " [Т-34]");
    EXPECT_EQ(w.TankSlotCursor, 1);

    // The title's words decide the side, in any case.
    w.Title = W("Штурмовка - танки синих");
    SetUpTanks(d, w, rnd);
    EXPECT_EQ(w.TankSide, TTankSide::Blue);
    EXPECT_EQ(U8(w.TankSuffix), " [Pz.IIIG]");
    d.Army = 0;
    w.Title = W("Штурмовка - танки красных");
    SetUpTanks(d, w, rnd);
    EXPECT_EQ(w.TankSide, TTankSide::Red);
    w.Title = W("Штурмовка - Танки красных");
    SetUpTanks(d, w, rnd);
    EXPECT_EQ(w.TankSide, TTankSide::Red);

    d.Target = W("Цистерны");  // no tank target
    SetUpTanks(d, w, rnd);
    EXPECT_EQ(w.TankSuffix, "");

    d.Mode = 3;
    d.Height = 2000;
    SetUpTanks(d, w, rnd);
    EXPECT_TRUE(w.HeavyFlak);
    d.Height = 1999;
    SetUpTanks(d, w, rnd);
    EXPECT_FALSE(w.HeavyFlak);
    d.Mode = 2;
    d.Height = 5000;
    SetUpTanks(d, w, rnd);
    EXPECT_FALSE(w.HeavyFlak);
}

TEST(SetUpTanks, ChosenTypeDrawsNothing) {
    TMissionData d;
    d.Tanks = 9;
    TObjectWork w;
    TRandom rnd(5), fresh(5);
    SetUpTanks(d, w, rnd);
    EXPECT_EQ(rnd.Next(), fresh.Next());
}

TEST(SetUpTanks, RandomComposition) {
    TMissionData d;  // army 0: blue columns
    TObjectWork w;

    // Heavy range, slots drawn, heavy gun in slot 9.
    const auto heavySeed = FindSeed([](TRandom& r) {
        if (r.Draw(100) % 2 == 0 || r.Draw(100) % 2 == 0) return false;
        for (int i = 0; i < 9; ++i) r.DrawRange(8, 12);
        return r.Draw(100) % 2 == 1;
    });
    TRandom replay(heavySeed);
    replay.Draw(100);
    replay.Draw(100);
    std::array<int, 10> expected{};
    for (int i = 1; i <= 9; ++i) expected[static_cast<std::size_t>(i)] = replay.DrawRange(8, 12);
    expected[9] = 0;
    TRandom rnd(heavySeed);
    SetUpTanks(d, w, rnd);
    EXPECT_EQ(w.TankSlots, expected);
    EXPECT_EQ(w.TankSuffix, "");

    // Light range for red columns: no heavy-gun draw at all.
    d.Army = 2;
    const auto lightSeed = FindSeed([](TRandom& r) { return r.Draw(100) % 2 == 0 && r.Draw(100) % 2 == 1; });
    TRandom light(lightSeed), lightReplay(lightSeed);
    SetUpTanks(d, w, light);
    lightReplay.Draw(100);
    lightReplay.Draw(100);
    std::array<int, 10> lightSlots{};
    for (int i = 1; i <= 9; ++i) lightSlots[static_cast<std::size_t>(i)] = lightReplay.DrawRange(1, 6);
    EXPECT_EQ(w.TankSlots, lightSlots);
    EXPECT_EQ(light.Next(), lightReplay.Next());

    // An even second draw stops: every slot stays 1.
    const auto stopSeed = FindSeed([](TRandom& r) { return r.Draw(100) % 2 == 1 && r.Draw(100) % 2 == 0; });
    TRandom stop(stopSeed);
    SetUpTanks(d, w, stop);
    EXPECT_EQ(w.TankSlots, (std::array<int, 10>{0, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
}

TEST(TankTypeFromTitle, ReadsTheSuffixBack) {
    EXPECT_EQ(TankTypeFromTitle(W("Штурмовка - Танки у моста [Pz.IVE]"), TTankSide::Blue), 5);
    EXPECT_EQ(TankTypeFromTitle(W("Штурмовка - Танки у моста [Pz.IVE]"), TTankSide::Red), 0);
    EXPECT_EQ(TankTypeFromTitle(W("Штурмовка - танки [Т-70М]"), TTankSide::Red), 13);
    EXPECT_EQ(TankTypeFromTitle(W("Штурмовка - танки [СУ-76M]"), TTankSide::Red), 6);
    EXPECT_EQ(TankTypeFromTitle(W("Штурмовка - Колонна [Pz.IVE]"), TTankSide::Blue), 0);  // no "танки"
    EXPECT_EQ(TankTypeFromTitle(W("Штурмовка - танки [Случайный]"), TTankSide::Red), 0);  // never the random row
    EXPECT_EQ(TankTypeFromTitle(W("Штурмовка - танки[Pz.IVE]"), TTankSide::Blue), 0);     // no " ["
    EXPECT_EQ(TankTypeFromTitle(W("Штурмовка ] - танки [Pz.IVE]"), TTankSide::Blue), 0);  // "]" before "["
    EXPECT_EQ(TankTypeFromTitle(W("Штурмовка - танки [Pz.IVE"), TTankSide::Blue), 0);
    EXPECT_EQ(TankTypeFromTitle(W("Штурмовка - танки [Pz.IVE]"), TTankSide::None), 0);
    EXPECT_EQ(TankTypeFromTitle("", TTankSide::Red), 0);
}

// Whatever target the window offers the tank lists for, the save writes the
// choice into the title and reading the title back finds it, on the side
// the target names in whatever case.
TEST(SetUpTanks, EveryTankTargetKeepsItsChoice) {
    const struct {
        const char* Target;
        int Side;  // for army 0, whose enemy is blue
    } cases[] = {
        {"Колонна: танки синих", 2},
        {"Засада: Танки красных", 1},
        {"Колонна: танки, грузовики", 2},
        {"ТАНКИ у реки", 2},
        {"Танкисты", 2},
    };
    for (const auto& c : cases) {
        TMissionData d;
        d.Tanks = 3;
        d.Target = W(c.Target);
        ASSERT_TRUE(IsTankTarget(d.Target)) << c.Target;
        TObjectWork w;
        w.Title = W("Штурмовка - ") + d.Target;
        TRandom rnd(1);
        SetUpTanks(d, w, rnd);
        EXPECT_EQ(static_cast<int>(w.TankSide), c.Side) << c.Target;
        EXPECT_FALSE(w.TankSuffix.empty()) << c.Target;
        EXPECT_EQ(TankTypeFromTitle(w.Title + w.TankSuffix, w.TankSide), 3) << c.Target;
    }
}

TEST(CopyObjectBlock, OffsetRules) {
    TWorld world;
    TDataFile file(world.Ref.DataFilePath(0));
    TDataFileLayout layout;
    WriteDataFileBytes(WorldSource(), layout);
    const auto frontAt = static_cast<std::int32_t>(layout.BlockOffsets[kFrontBlock]);
    const auto cameraAt = static_cast<std::int32_t>(layout.BlockOffsets[kCameraBlock]);
    TMissionData d;
    d.Difficulty = 1;
    TObjectWork w = Work(2);

    std::string out;
    CopyObjectBlock("[Bridge]", -1, file, d, w, out);
    EXPECT_EQ(out, "");
    CopyObjectBlock("[House]", -2, file, d, w, out);
    EXPECT_EQ(out, "[House]\r\n");
    CopyObjectBlock("", -2, file, d, w, out);
    EXPECT_EQ(out, "[House]\r\n");
    CopyObjectBlock("[FrontMarker]", frontAt, file, d, w, out);
    CopyObjectBlock("", cameraAt, file, d, w, out);
    EXPECT_EQ(out,
              "[House]\r\n[FrontMarker]\r\nFrontMarker0 9000.00 19000.00 1\r\nFrontMarker1 11000.00 21000.00 2\r\n"
              "10000 20000 100 2\r\n");

    EXPECT_THROW(CopyObjectBlock("[Target]", -3, file, d, w, out), TFileError);
    EXPECT_THROW(CopyObjectBlock("[Target]", 1 << 30, file, d, w, out), TFileError);
}

}  // namespace
}  // namespace zelk::test
