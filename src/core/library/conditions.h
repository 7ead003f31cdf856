#pragma once
// A set of mission conditions, each fixed or left open, and the making of a
// mission from it: templates of the pilot's favourite sorties and the steps
// of a training programme are such sets.
#include <optional>
#include <string>
#include <vector>

#include "data/refdata.h"
#include "generator/random.h"
#include "mission/mission.h"

namespace zelk {

// An empty optional is an open condition. Open conditions that a surprise
// mission draws (target, movement, type, difficulty, aircraft, hour,
// weather, clouds, route) are drawn the same way; the others take what New
// gives a mission (army 0, no wingmen, 1000 m, the heavy gun, no fighters).
// Texts are Windows-1251, as in the mission record.
struct TConditions {
    std::optional<std::string> Map;  // map key
    std::optional<std::string> Target;
    // Only targets whose name holds this text, letter case aside (a kind of
    // target: "колонна", "эшелон", "авианосец"); used when Target is open.
    std::optional<std::string> TargetKind;
    std::optional<int> Moving, Mode, Difficulty;
    std::optional<std::string> Aircraft;  // AirClass
    std::optional<int> Army, Flight, Height;
    std::optional<std::string> Clouds;  // one of CloudNames
    std::optional<int> Time, Weather, Tanks, RandomRoute, Fighters;

    bool operator==(const TConditions&) const = default;
};

// Every condition fixed to the mission's own value.
TConditions ConditionsOf(const TMissionData& data);

// A mission made from conditions.
struct TConditionsOutcome {
    // False when the data hold no target at all: Data is then unset.
    bool Made = false;
    TMissionData Data;
    // One line (UTF-8, the pilot's language) for each fixed condition that
    // the data no longer offer, saying what was taken instead.
    std::vector<std::string> Settled;
};

// The parameters of a new mission under `conditions`: the fixed ones as
// given, the open ones drawn as a surprise mission draws them (with `rnd`),
// then settled into what the data offer as a new mission is. A fixed value
// the data lack (a map, target or aircraft left out, a variant or aircraft
// the target or type no longer offers, tanks or fighters that do not apply)
// is settled too, and named in Settled.
TConditionsOutcome MissionFromConditions(const TConditions& conditions, const TRefData& ref, TRandom& rnd);

// A range or list check of each fixed value, for readers of conditions:
// empty when all are acceptable, else one line (UTF-8) naming the first
// condition out of its range and what is accepted.
std::string ConditionsRangeError(const TConditions& conditions);

}  // namespace zelk
