// What the reference data offer, and the settling of a mission into it.
#include "library/availability.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "data/catalogues.h"
#include "data/codepage.h"

namespace zelk {
namespace {

// Cells given as "moving difficulty mode" triples are defined; the rest not.
struct TCellSpec {
    int Moving, Difficulty, Mode;
};

TTarget& AddTarget(TRefData& ref, const std::string& name, const std::string& mapKey,
                   const std::vector<TCellSpec>& defined) {
    auto t = std::make_unique<TTarget>();
    t->Name = W(name);
    t->MapKey = mapKey;
    for (const auto& c : defined) t->Variants[c.Moving][c.Difficulty][c.Mode].StaticCameraBlock = 0;
    ref.Targets.Items.push_back(std::move(t));
    return *ref.Targets.Items.back();
}

std::vector<TCellSpec> AllCells() {
    std::vector<TCellSpec> cells;
    for (int m = 0; m < 2; ++m)
        for (int d = 0; d < 2; ++d)
            for (int k = 0; k < 4; ++k) cells.push_back({m, d, k});
    return cells;
}

void AddAircraft(TRefData& ref, const std::string& name, const std::string& airClass, std::uint8_t modes) {
    TAircraft a;
    a.Name = name;
    a.AirClass = airClass;
    a.Modes = modes;
    ref.Aircrafts.Items.push_back(a);
}

// Two maps; the first has a full target and one offering only dive bombing
// and level bombing (no type 0), the second a target without moving cells.
TRefData SmallRef() {
    TRefData ref;
    ref.Maps.Items = {{"North", "north.ini", 2}, {"South", "south.ini", 1}};
    AddTarget(ref, "Мост", "north.ini", AllCells());
    AddTarget(ref, "Склад", "north.ini", {{0, 0, 2}, {1, 1, 3}});
    AddTarget(ref, "Танки у реки", "south.ini", {{0, 0, 0}, {0, 1, 1}});
    AddAircraft(ref, "Never", "NEVER", 0);
    AddAircraft(ref, "Attacker", "IL2", 0b1001);
    AddAircraft(ref, "Bomber", "PE2", 0b1100);
    return ref;
}

TMission Mission(const std::string& map, const std::string& target) {
    TMission m;
    m.Data.Map = map;
    m.Data.Target = W(target);
    m.SaveState();
    return m;
}

TEST(TargetOffers, EachOfferOnItsOwn) {
    TRefData ref = SmallRef();
    const TOffers o = TargetOffers(ref.Targets.Items[1].get());
    EXPECT_TRUE(o.Moving);  // a moving cell exists, for difficulty 1 only
    EXPECT_EQ(o.Modes, (std::array<bool, 4>{false, false, true, true}));
    EXPECT_EQ(o.Difficulties, (std::array<bool, 2>{true, true}));
    EXPECT_FALSE(o.ModeOffered(7));

    const TOffers none = TargetOffers(nullptr);
    EXPECT_FALSE(none.Moving || none.ModeOffered(0) || none.DifficultyOffered(0));
}

TEST(OfferedAircrafts, FollowTheModesBits) {
    TRefData ref = SmallRef();
    auto names = [&](int mode) {
        std::vector<std::string> n;
        for (const TAircraft* a : OfferedAircrafts(ref.Aircrafts, mode)) n.push_back(a->Name);
        return n;
    };
    EXPECT_EQ(names(0), (std::vector<std::string>{"Attacker"}));
    EXPECT_EQ(names(1), (std::vector<std::string>{}));
    EXPECT_EQ(names(2), (std::vector<std::string>{"Bomber"}));
    EXPECT_EQ(names(3), (std::vector<std::string>{"Attacker", "Bomber"}));
    EXPECT_TRUE(OfferedAircrafts(ref.Aircrafts, 8).empty());
    EXPECT_EQ(GetAircraftName(ref.Aircrafts, "PE2"), "Bomber");
    EXPECT_EQ(GetAircraftName(ref.Aircrafts, "pe2"), "");
}

TEST(CheckUpTargets, KeepsAnOfferedTargetAndItsChoices) {
    TRefData ref = SmallRef();
    TMission m = Mission("north.ini", "Мост");
    m.Data.Moving = 1;
    m.Data.Mode = 3;
    m.Data.Difficulty = 1;
    m.Data.Aircraft = "PE2";
    m.SaveState();
    const TTargetChoice c = CheckUpTargets(m, ref);
    EXPECT_EQ(c.MapSelected, 0);
    ASSERT_EQ(c.Targets.size(), 2u);
    EXPECT_EQ(c.TargetSelected, 0);
    EXPECT_EQ(c.CurrentTarget, ref.Targets.Items[0].get());
    EXPECT_TRUE(c.MovingEnabled);
    EXPECT_TRUE(c.MovingChecked);
    EXPECT_EQ(c.Modes, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(c.ModeSelected, 3);
    EXPECT_EQ(c.DifficultySelected, 1);
    ASSERT_EQ(c.Aircraft.Aircrafts.size(), 2u);
    EXPECT_EQ(c.Aircraft.Selected, 1);
    EXPECT_FALSE(m.IsModified());
}

TEST(CheckUpTargets, TargetWithoutTypeZeroMovesModeAndAircraft) {
    TRefData ref = SmallRef();
    TMission m = Mission("north.ini", "Склад");
    m.Data.Aircraft = "IL2";
    const TTargetChoice c = CheckUpTargets(m, ref);
    EXPECT_EQ(c.Modes, (std::vector<int>{2, 3}));
    EXPECT_EQ(c.ModeSelected, 0);
    EXPECT_EQ(m.Data.Mode, 2);
    // IL2 is not offered for dive bombing: the first offered aircraft.
    EXPECT_EQ(m.Data.Aircraft, "PE2");
    // Moving is offered though only difficulty 1 has a moving cell and 0 is shown.
    EXPECT_TRUE(c.MovingEnabled);
    EXPECT_EQ(m.Data.Difficulty, 0);
}

TEST(CheckUpTargets, TargetWithoutMovingCellsClearsMoving) {
    TRefData ref = SmallRef();
    TMission m = Mission("south.ini", "Танки у реки");
    m.Data.Moving = 1;
    m.Data.Mode = 3;
    m.Data.Difficulty = 1;
    const TTargetChoice c = CheckUpTargets(m, ref);
    EXPECT_EQ(c.MapSelected, 1);
    EXPECT_FALSE(c.MovingEnabled);
    EXPECT_FALSE(c.MovingChecked);
    EXPECT_EQ(m.Data.Moving, 0);
    EXPECT_EQ(c.Modes, (std::vector<int>{0, 1}));
    // Type 3 is not offered; the difficulty is kept, so the type is the one
    // the target has with it.
    EXPECT_EQ(m.Data.Mode, 1);
    EXPECT_EQ(c.DifficultySelected, 1);
    EXPECT_EQ(m.Data.Difficulty, 1);
}

// Movement, difficulty and type are offered each on its own, but only their
// defined combinations have target objects: the settling lands on one.
TEST(SettleVariant, LandsOnACombinationTheTargetHas) {
    struct TCase {
        const char* What;
        std::vector<TCellSpec> Cells;
        TCellSpec From;
        TVariantKeep Keep;
        bool Settled;
        TCellSpec To;
    };
    const std::vector<TCellSpec> ambush = {{1, 0, 0}, {1, 1, 0}, {0, 0, 0}, {0, 1, 0}, {0, 0, 2}, {0, 1, 2}, {0, 1, 3}};
    const std::vector<TCase> cases = {
        {"moving only", {{1, 0, 0}, {1, 1, 0}, {1, 0, 2}}, {0, 0, 0}, {}, true, {1, 0, 0}},
        {"type kept, difficulty follows", ambush, {0, 0, 3}, {.Mode = true}, true, {0, 1, 3}},
        {"difficulty kept, type follows", ambush, {0, 0, 3}, {.Difficulty = true}, true, {0, 0, 0}},
        {"moving kept, type follows", ambush, {1, 1, 3}, {.Moving = true}, true, {1, 1, 0}},
        {"nothing kept: the type wins", ambush, {1, 0, 3}, {}, true, {0, 1, 3}},
        {"kept together but absent", ambush, {1, 0, 3}, {.Moving = true, .Mode = true}, false, {1, 0, 3}},
        {"no cell at all", {}, {0, 1, 2}, {}, false, {0, 1, 2}},
    };
    for (const TCase& c : cases) {
        TRefData ref;
        const TTarget& target = AddTarget(ref, "Засада", "m.ini", c.Cells);
        TMissionData d;
        d.Moving = static_cast<std::uint8_t>(c.From.Moving);
        d.Difficulty = static_cast<std::uint8_t>(c.From.Difficulty);
        d.Mode = static_cast<std::uint8_t>(c.From.Mode);
        EXPECT_EQ(SettleVariant(target, d, c.Keep), c.Settled) << c.What;
        EXPECT_EQ(std::tuple(int(d.Moving), int(d.Difficulty), int(d.Mode)),
                  std::tuple(c.To.Moving, c.To.Difficulty, c.To.Mode))
            << c.What;
        EXPECT_EQ(VariantDefined(target, d), c.Settled) << c.What;
    }
}

TEST(CheckUpTargets, TargetNotOnTheMapBecomesItsFirst) {
    TRefData ref = SmallRef();
    TMission m = Mission("north.ini", "Танки у реки");
    CheckUpTargets(m, ref);
    EXPECT_EQ(m.Data.Target, W("Мост"));
    m.Data.Map = "south.ini";
    CheckUpTargets(m, ref);
    EXPECT_EQ(m.Data.Target, W("Танки у реки"));
}

TEST(CheckUpTargets, UnknownMapLeavesTheFieldsAndListsWithoutSelection) {
    TRefData ref = SmallRef();
    TMission m = Mission("nowhere.ini", "Мост");
    m.Data.Mode = 2;
    m.Data.Difficulty = 1;
    m.Data.Moving = 1;
    m.Data.Aircraft = "PE2";
    const TTargetChoice c = CheckUpTargets(m, ref);
    EXPECT_EQ(c.MapSelected, 0);  // the map list shows the first map
    EXPECT_TRUE(c.Targets.empty());
    EXPECT_EQ(c.TargetSelected, -1);
    EXPECT_EQ(c.CurrentTarget, nullptr);
    EXPECT_TRUE(c.Modes.empty());
    EXPECT_EQ(c.ModeSelected, -1);
    EXPECT_EQ(c.DifficultySelected, -1);
    EXPECT_EQ(m.Data.Map, "nowhere.ini");
    EXPECT_EQ(m.Data.Target, W("Мост"));
    EXPECT_EQ(m.Data.Mode, 2);
    EXPECT_EQ(m.Data.Difficulty, 1);
    EXPECT_EQ(m.Data.Moving, 0);        // nothing offers movement
    EXPECT_EQ(m.Data.Aircraft, "PE2");  // still offered for the kept type

    TRefData empty;
    TMission e = Mission("", "");
    const TTargetChoice ec = CheckUpTargets(e, empty);
    EXPECT_EQ(ec.MapSelected, -1);
    EXPECT_EQ(ec.Aircraft.Selected, -1);
}

TEST(CheckUpTargets, TargetWithoutDefinedCellsOffersNothing) {
    TRefData ref = SmallRef();
    AddTarget(ref, "Пусто", "east.ini", {});
    TMission m = Mission("east.ini", "Пусто");
    m.Data.Mode = 1;
    m.Data.Aircraft = "X";
    const TTargetChoice c = CheckUpTargets(m, ref);
    EXPECT_EQ(c.TargetSelected, 0);
    EXPECT_TRUE(c.Modes.empty());
    EXPECT_TRUE(c.Difficulties.empty());
    EXPECT_EQ(m.Data.Mode, 1);
    // No aircraft flies type 1: the list is empty and the field stays.
    EXPECT_TRUE(c.Aircraft.Aircrafts.empty());
    EXPECT_EQ(c.Aircraft.Selected, -1);
    EXPECT_EQ(m.Data.Aircraft, "X");
}

TEST(CheckUpTargets, TankListsFollowTitleOrTheSideThatWillBeFilled) {
    TRefData ref = SmallRef();
    // A saved mission: its title decides.
    TMission saved = Mission("south.ini", "Танки у реки");
    saved.Name = W("Штурмовка - Танки у реки [Т-34]");
    saved.Data.Tanks = 9;
    TTargetChoice c = CheckUpTargets(saved, ref);
    EXPECT_EQ(c.TanksRedShown, 4);
    // The save fills blue columns (army 0): that list alone is offered, and
    // it shows what the save writes.
    EXPECT_EQ(c.TankSide, TTankSide::Blue);
    EXPECT_EQ(c.TanksBlueShown, 9);
    EXPECT_EQ(saved.Data.Tanks, 9);
    EXPECT_TRUE(c.TanksEnabled);  // "Танки" in capitals still counts

    // A new mission: the list of the side whose columns the save fills.
    TMission fresh = Mission("south.ini", "Танки у реки");
    fresh.IsNew = 1;
    fresh.Data.Tanks = 4;
    c = CheckUpTargets(fresh, ref);
    EXPECT_EQ(c.TanksRedShown, 0);
    EXPECT_EQ(c.TanksBlueShown, 4);
    EXPECT_EQ(TankDisplayNames[2][c.TanksBlueShown], "Pz.IIIG");
    fresh.Data.Army = 1;  // red too, English radio: still blue tanks
    c = CheckUpTargets(fresh, ref);
    EXPECT_EQ(c.TanksBlueShown, 4);
    fresh.Data.Army = 2;
    c = CheckUpTargets(fresh, ref);
    EXPECT_EQ(c.TanksRedShown, 4);
    EXPECT_EQ(c.TanksBlueShown, 0);
    EXPECT_EQ(c.TankSide, TTankSide::Red);

    // A target that names its side overrides the army.
    AddTarget(ref, "танки красных", "south.ini", {{0, 0, 0}});
    fresh.Data.Army = 0;
    fresh.Data.Target = W("танки красных");
    c = CheckUpTargets(fresh, ref);
    EXPECT_EQ(c.TanksRedShown, 4);
    EXPECT_EQ(TankSideOf(fresh.Data), TTankSide::Red);

    TMission plain = Mission("north.ini", "Мост");
    EXPECT_EQ(CheckUpTargets(plain, ref).TankSide, TTankSide::None);
    EXPECT_FALSE(CheckUpTargets(plain, ref).TanksEnabled);
    EXPECT_FALSE(IsTankTarget(W("Танковый завод")));
}

TEST(FightersRule, TrainingSortieHasNoFighters) {
    TRefData ref = SmallRef();
    TMission m = Mission("north.ini", "Мост");
    m.Data.Fighters = 3;
    TMissionChoice c = SettleMission(m, ref);
    EXPECT_FALSE(c.FightersEnabled);
    EXPECT_EQ(m.Data.Fighters, 0);
    m.Data.Difficulty = 1;
    c = SettleMission(m, ref);
    EXPECT_TRUE(c.FightersEnabled);
    EXPECT_EQ(m.Data.Fighters, 0);
    m.Data.Fighters = 2;
    EXPECT_TRUE(ApplyFightersRule(m.Data));
    EXPECT_EQ(m.Data.Fighters, 2);
}

}  // namespace
}  // namespace zelk
