#include "library/conditions.h"

#include <algorithm>
#include <array>

#include "data/catalogues.h"
#include "data/codepage.h"
#include "library/availability.h"
#include "library/commands.h"
#include "library/surprise.h"
#include "mission/params.h"
#include "text/tr.h"

namespace zelk {

namespace {

std::string Shown(const std::string& cp1251) { return "«" + ShownName(cp1251) + "»"; }

template <std::size_t N>
std::string Named(const std::array<std::string, N>& names, int i) {
    return i >= 0 && static_cast<std::size_t>(i) < N ? Shown(names[static_cast<std::size_t>(i)]) : std::to_string(i);
}

std::string MapShown(const TRefData& ref, const std::string& key) {
    for (const auto& m : ref.Maps.Items)
        if (m.Key == key) return Shown(m.Name);
    return Shown(key);
}

std::string TankShown(const TMissionData& d, int tanks) {
    const TTankSide side = OfferedTankList(d);
    return side == TTankSide::None ? std::to_string(tanks) : Named(TankDisplayNames[SideIndex(side)], tanks);
}

TFixedParams FixedOf(const TConditions& c) {
    TFixedParams f = FixedFrom(c);
    if (!c.Target) f.TargetKind = c.TargetKind;
    return f;
}

// The same conditions with the target's variant and the aircraft left to the draw.
TFixedParams WithVariantFree(TFixedParams f) {
    f.Moving.reset();
    f.Mode.reset();
    f.Difficulty.reset();
    f.Aircraft.reset();
    return f;
}

}  // namespace

TConditions ConditionsOf(const TMissionData& d) {
    TConditions c;
    CopyDrawnParams(c, d);
    c.Army = d.Army;
    c.Flight = d.Flight;
    c.Height = d.Height;
    c.Tanks = d.Tanks;
    c.Fighters = d.Fighters;
    return c;
}

TConditionsOutcome MissionFromConditions(const TConditions& c, const TRefData& ref, TRandom& rnd) {
    TConditionsOutcome out;
    const TNewDefaults defaults = DefaultsFromRefData(ref);
    if (defaults.Map.empty() || defaults.Target.empty()) return out;
    TMissionLibrary probe;
    TMission mission = probe.At(probe.NewMission(defaults));
    TMissionData& d = mission.Data;

    // The whole set first. When the data no longer offer it: the aircraft
    // settled as New settles it; the target alone, its variant settled too;
    // then any target of the map, then of any map, that offers the rest;
    // then any.
    const TFixedParams fixed = FixedOf(c);
    TFixedParams noAircraft = fixed;
    noAircraft.Aircraft.reset();
    const TFixedParams targetOnly = WithVariantFree(fixed);
    TFixedParams otherTarget = noAircraft;
    otherTarget.Target.reset();
    otherTarget.TargetKind.reset();
    TFixedParams otherMap = otherTarget;
    otherMap.Map.reset();
    const TFixedParams any = WithVariantFree(otherMap);
    bool drawn = false;
    for (const TFixedParams* attempt :
         std::array<const TFixedParams*, 6>{&fixed, &noAircraft, &targetOnly, &otherTarget, &otherMap, &any}) {
        if (!DrawSurprise(d, ref, *attempt, rnd)) continue;
        // What the draw was let free to choose is put back, for the settling
        // below to keep wherever the target allows.
        if (c.Moving && !attempt->Moving) d.Moving = static_cast<std::uint8_t>(*c.Moving);
        if (c.Mode && !attempt->Mode) d.Mode = static_cast<std::uint8_t>(*c.Mode);
        if (fixed.Difficulty && !attempt->Difficulty) d.Difficulty = static_cast<std::uint8_t>(*fixed.Difficulty);
        if (c.Aircraft && !attempt->Aircraft) d.Aircraft = *c.Aircraft;
        drawn = true;
        break;
    }
    if (!drawn) return out;
    if (c.Army) d.Army = *c.Army;
    if (c.Flight) d.Flight = *c.Flight;
    if (c.Height) d.Height = *c.Height;
    if (c.Tanks) d.Tanks = *c.Tanks;
    if (c.Fighters) d.Fighters = *c.Fighters;
    SettleMission(mission, ref, TVariantKeep{c.Moving.has_value(), c.Mode.has_value(), fixed.Difficulty.has_value()});
    // A tank choice counts only where the target has a tank list.
    if (OfferedTankList(d) == TTankSide::None) d.Tanks = 0;

    const auto note = [&](const char* what, const std::string& asked, const std::string& taken) {
        out.Settled.push_back(Fill(Tr("conditions", "%1 %2 данные больше не предлагают: взято %3"),
                                   {Tr("conditions", what), asked, taken}));
    };
    if (c.Map && *c.Map != d.Map)
        note(ZELK_TR_NOOP("conditions", "карту"), MapShown(ref, *c.Map), MapShown(ref, d.Map));
    if (c.Target && *c.Target != d.Target) note(ZELK_TR_NOOP("conditions", "цель"), Shown(*c.Target), Shown(d.Target));
    if (!c.Target && c.TargetKind && LowerCp1251(d.Target).find(LowerCp1251(*c.TargetKind)) == std::string::npos)
        note(ZELK_TR_NOOP("conditions", "цель вида"), Shown(*c.TargetKind), Shown(d.Target));
    if (c.Moving && *c.Moving != d.Moving)
        note(ZELK_TR_NOOP("conditions", "движение"), Named(MovementNames, *c.Moving), Named(MovementNames, d.Moving));
    if (c.Mode && *c.Mode != d.Mode)
        note(ZELK_TR_NOOP("conditions", "тип задания"), Named(ModeNames, *c.Mode), Named(ModeNames, d.Mode));
    if (c.Difficulty && *c.Difficulty != d.Difficulty)
        note(ZELK_TR_NOOP("conditions", "сложность"), Named(DifficultyNames, *c.Difficulty),
             Named(DifficultyNames, d.Difficulty));
    if (c.Aircraft && *c.Aircraft != d.Aircraft)
        note(ZELK_TR_NOOP("conditions", "самолет"), Shown(*c.Aircraft), Shown(d.Aircraft));
    if (c.Tanks && *c.Tanks != d.Tanks)
        note(ZELK_TR_NOOP("conditions", "танки"), TankShown(d, *c.Tanks), TankShown(d, d.Tanks));
    if (c.Fighters && *c.Fighters != d.Fighters)
        note(ZELK_TR_NOOP("conditions", "истребителей противника"), std::to_string(*c.Fighters),
             std::to_string(d.Fighters));
    out.Made = true;
    out.Data = d;
    return out;
}

std::string ConditionsRangeError(const TConditions& c) {
    struct TCheck {
        const char* Key;
        const std::optional<int>& Value;
        TParamRange Range;
    };
    const TCheck checks[] = {{"moving", c.Moving, kMovingRange},
                             {"mode", c.Mode, kModeRange},
                             {"difficulty", c.Difficulty, kDifficultyRange},
                             {"army", c.Army, kArmyRange},
                             {"flight", c.Flight, kFlightRange},
                             {"height", c.Height, kHeightRange},
                             {"time", c.Time, kTimeRange},
                             {"weather", c.Weather, kWeatherRange},
                             {"tanks", c.Tanks, kTanksRange},
                             {"random_route", c.RandomRoute, kRandomRouteRange},
                             {"fighters", c.Fighters, kFightersRange}};
    for (const TCheck& check : checks)
        if (check.Value && !check.Range.Contains(*check.Value))
            return Fill(Tr("conditions", "недопустимое значение %1 = %2; допустимо от %3 до %4"),
                        {check.Key, std::to_string(*check.Value), std::to_string(check.Range.Lo),
                         std::to_string(check.Range.Hi)});
    if (c.Clouds && std::find(CloudNames.begin(), CloudNames.end(), *c.Clouds) == CloudNames.end())
        return Fill(Tr("conditions", "недопустимое значение clouds = %1; допустимо: %2 … %3"),
                    {Cp1251ToUtf8(*c.Clouds), CloudNames.front(), CloudNames.back()});
    if (c.Fighters && *c.Fighters > 0 && c.Difficulty && *c.Difficulty == 0)
        return Tr("conditions",
                  "вражеские истребители бывают только в боевом вылете (difficulty = 1); в учебном допустимо: "
                  "fighters = 0");
    return {};
}

}  // namespace zelk
