#include "library/availability.h"

#include <algorithm>
#include <tuple>

#include "data/catalogues.h"
#include "data/codepage.h"
#include "text/tr.h"
#include "generator/tanks.h"
#include "mission/params.h"

namespace zelk {

TOffers TargetOffers(const TTarget* target) {
    TOffers offers;
    if (!target) return offers;
    for (const TVariantKey& v : DefinedVariants(*target)) {
        (v.Moving == 1 ? offers.Moving : offers.Stationary) = true;
        offers.Modes[static_cast<std::size_t>(v.Mode)] = true;
        offers.Difficulties[static_cast<std::size_t>(v.Difficulty)] = true;
    }
    return offers;
}

bool VariantDefined(const TTarget& target, const TMissionData& data) {
    return VariantDefined(target, data.Moving, data.Difficulty, data.Mode);
}

bool SettleVariant(const TTarget& target, TMissionData& data, TVariantKeep keep) {
    using TVariant = TVariantKey;
    // In the order of "the first offered": lowest type, difficulty, movement.
    std::vector<TVariant> cells = DefinedVariants(target);
    std::stable_sort(cells.begin(), cells.end(), [](const TVariant& a, const TVariant& b) {
        return std::tie(a.Mode, a.Difficulty, a.Moving) < std::tie(b.Mode, b.Difficulty, b.Moving);
    });

    const auto matchMoving = [&](const TVariant& v) { return v.Moving == data.Moving; };
    const auto matchMode = [&](const TVariant& v) { return v.Mode == data.Mode; };
    const auto matchDifficulty = [&](const TVariant& v) { return v.Difficulty == data.Difficulty; };
    // Keeps the cells that match, unless none does; says whether any did.
    const auto narrow = [&cells](const auto& match) {
        std::vector<TVariant> kept;
        for (const TVariant& v : cells)
            if (match(v)) kept.push_back(v);
        if (kept.empty()) return false;
        cells = std::move(kept);
        return true;
    };
    if (cells.empty()) return false;
    const std::vector<TVariant> all = cells;
    if ((keep.Moving && !narrow(matchMoving)) || (keep.Mode && !narrow(matchMode)) ||
        (keep.Difficulty && !narrow(matchDifficulty))) {
        return false;
    }
    narrow(matchMode);
    narrow(matchDifficulty);
    narrow(matchMoving);
    data.Moving = static_cast<std::uint8_t>(cells.front().Moving);
    data.Mode = static_cast<std::uint8_t>(cells.front().Mode);
    data.Difficulty = static_cast<std::uint8_t>(cells.front().Difficulty);
    return true;
}

std::string UndefinedVariantText(const TMissionData& data, const TRefData& ref) {
    const TTarget* target = ref.Targets.SelectTarget(data.Map, data.Target);
    if (target == nullptr || VariantDefined(*target, data)) return {};
    const auto name = [](const auto& table, int i) {
        return i >= 0 && i < static_cast<int>(table.size()) ? W(ShownName(table[static_cast<std::size_t>(i)]))
                                                            : std::to_string(i);
    };
    return Fill(W(Tr("library",
                     "у цели «%1» нет варианта «%2, %3, %4»: для него в справочных данных нет объектов "
                     "цели. Выберите другое движение, тип задания или сложность.")),
                {data.Target, name(MovementNames, data.Moving), LowerCp1251(name(ModeNames, data.Mode)),
                 LowerCp1251(name(DifficultyNames, data.Difficulty))});
}

std::vector<const TAircraft*> OfferedAircrafts(const TAircraftsColl& aircrafts, int mode) {
    std::vector<const TAircraft*> offered;
    for (const TAircraft& a : aircrafts.Items)
        if (a.Allows(mode)) offered.push_back(&a);
    return offered;
}

std::string GetAircraftName(const TAircraftsColl& aircrafts, std::string_view airClass) {
    const int i = aircrafts.IndexOfClass(airClass);
    return i < 0 ? std::string() : aircrafts.Items[static_cast<std::size_t>(i)].Name;
}

TAircraftChoice CheckUpAircrafts(TMissionData& data, const TAircraftsColl& aircrafts) {
    TAircraftChoice choice;
    choice.Aircrafts = OfferedAircrafts(aircrafts, data.Mode);
    if (choice.Aircrafts.empty()) return choice;
    choice.Selected = 0;
    for (std::size_t i = 0; i < choice.Aircrafts.size(); ++i)
        if (choice.Aircrafts[i]->AirClass == data.Aircraft) {
            choice.Selected = static_cast<int>(i);
            break;
        }
    data.Aircraft = choice.Aircrafts[static_cast<std::size_t>(choice.Selected)]->AirClass;
    return choice;
}

namespace {

// Position of value in the list; the first entry when it is missing (and the
// field takes that entry's value); -1 for an empty list (the field stays).
template <class T>
int SelectOffered(const std::vector<int>& list, T& field) {
    if (list.empty()) return -1;
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i] == static_cast<int>(field)) return static_cast<int>(i);
    field = static_cast<T>(list.front());
    return 0;
}

int ShownTankType(int tanks) { return tanks >= 0 && tanks <= 13 ? tanks : 0; }

}  // namespace

TTargetChoice CheckUpTargets(TMission& mission, const TRefData& ref, TVariantKeep keep) {
    TMissionData& data = mission.Data;
    TTargetChoice c;

    // The map list shows the mission's map, or the first map; Map itself stays.
    if (ref.Maps.Count() > 0) {
        c.MapSelected = 0;
        for (int i = 0; i < ref.Maps.Count(); ++i)
            if (ref.Maps.Items[static_cast<std::size_t>(i)].Key == data.Map) {
                c.MapSelected = i;
                break;
            }
    }

    c.Targets = ref.Targets.SelectMap(data.Map);
    if (!c.Targets.empty()) {
        c.TargetSelected = 0;
        for (std::size_t i = 0; i < c.Targets.size(); ++i)
            if (c.Targets[i]->Name == data.Target) {
                c.TargetSelected = static_cast<int>(i);
                break;
            }
        c.CurrentTarget = c.Targets[static_cast<std::size_t>(c.TargetSelected)];
        data.Target = c.CurrentTarget->Name;
    }

    c.Offers = TargetOffers(c.CurrentTarget);
    // A kept choice the target cannot have (a mission whose target changed)
    // gives way like any other field.
    if (c.CurrentTarget == nullptr ||
        (!SettleVariant(*c.CurrentTarget, data, keep) && !SettleVariant(*c.CurrentTarget, data)))
        data.Moving = 0;
    // The box is a choice only when the target is offered both ways.
    c.MovingEnabled = c.Offers.Moving && c.Offers.Stationary;
    c.MovingChecked = data.Moving != 0;

    for (int k = 0; k < kModeCount; ++k)
        if (c.Offers.ModeOffered(k)) c.Modes.push_back(k);
    c.ModeSelected = SelectOffered(c.Modes, data.Mode);
    for (int d = 0; d < kDifficultyCount; ++d)
        if (c.Offers.DifficultyOffered(d)) c.Difficulties.push_back(d);
    c.DifficultySelected = SelectOffered(c.Difficulties, data.Difficulty);

    c.Aircraft = CheckUpAircrafts(data, ref.Aircrafts);

    if (mission.IsNew) {
        // Not saved yet: show the choice in the list of the side whose columns
        // the save will fill, so that what the pilot picked stays where he
        // picked it (a red English-speaking pilot attacks blue tanks too).
        const int tanks = ShownTankType(data.Tanks);
        if (TankSideOf(data) == TTankSide::Red)
            c.TanksRedShown = tanks;
        else
            c.TanksBlueShown = tanks;
    } else {
        c.TanksRedShown = TankTypeFromTitle(mission.Name, TTankSide::Red);
        c.TanksBlueShown = TankTypeFromTitle(mission.Name, TTankSide::Blue);
    }
    c.TankSide = OfferedTankList(data);
    c.TanksEnabled = c.TankSide != TTankSide::None;
    // The list offered shows what the save will write, also when the army
    // has changed since the title was made.
    if (c.TankSide == TTankSide::Red) c.TanksRedShown = ShownTankType(data.Tanks);
    if (c.TankSide == TTankSide::Blue) c.TanksBlueShown = ShownTankType(data.Tanks);
    return c;
}

bool TargetAvailable(const TMissionData& data, const TRefData& ref) {
    return ref.Targets.SelectTarget(data.Map, data.Target) != nullptr;
}

TTargetChoice ChoiceAsRead(const TMission& mission, const TRefData& ref) {
    // The settling runs on a copy: only the lists it fills are kept.
    TMission probe = mission;
    TTargetChoice c = CheckUpTargets(probe, ref);
    const TMissionData& data = mission.Data;
    // A map that was left out is not shown as the first map.
    if (c.MapSelected >= 0 && ref.Maps.Items[static_cast<std::size_t>(c.MapSelected)].Key != data.Map)
        c.MapSelected = -1;
    c.TargetSelected = -1;
    c.CurrentTarget = nullptr;
    c.Offers = TOffers();
    c.MovingEnabled = false;
    c.MovingChecked = data.Moving != 0;
    c.Modes.clear();
    c.ModeSelected = -1;
    if (data.Mode < ModeNames.size()) {
        c.Modes.push_back(data.Mode);
        c.ModeSelected = 0;
    }
    c.Difficulties.clear();
    c.DifficultySelected = -1;
    if (data.Difficulty < DifficultyNames.size()) {
        c.Difficulties.push_back(data.Difficulty);
        c.DifficultySelected = 0;
    }
    c.Aircraft.Aircrafts = OfferedAircrafts(ref.Aircrafts, data.Mode);
    c.Aircraft.Selected = -1;
    for (std::size_t i = 0; i < c.Aircraft.Aircrafts.size(); ++i)
        if (c.Aircraft.Aircrafts[i]->AirClass == data.Aircraft) c.Aircraft.Selected = static_cast<int>(i);
    c.TanksEnabled = false;
    return c;
}

bool ApplyFightersRule(TMissionData& data) {
    if (!FightersAllowed(data.Difficulty)) {
        data.Fighters = 0;
        return false;
    }
    return true;
}

TMissionChoice SettleMission(TMission& mission, const TRefData& ref, TVariantKeep keep) {
    TMissionChoice choice;
    choice.Targets = CheckUpTargets(mission, ref, keep);
    choice.FightersEnabled = ApplyFightersRule(mission.Data);
    return choice;
}

TTankSide TankSideOf(const TMissionData& data) { return TankSideFor(data.Target, data.Army); }

TTankSide OfferedTankList(const TMissionData& data) {
    return IsTankTarget(data.Target) ? TankSideOf(data) : TTankSide::None;
}

}  // namespace zelk
