#pragma once
// "Surprise me": the parameters of a mission drawn at random among what the
// reference data offer, around those the pilot fixed.
#include <optional>
#include <string>

#include "data/refdata.h"
#include "generator/random.h"
#include "mission/mission.h"
#include "mission/rules.h"

namespace zelk {

// What the pilot fixed; everything left empty is drawn.
struct TFixedParams {
    std::optional<std::string> Map, Target, Aircraft, Clouds;  // Windows-1251
    std::optional<int> Moving, Mode, Difficulty, Time, Weather, RandomRoute;
    // Only targets whose name holds this text, letter case aside.
    std::optional<std::string> TargetKind;
};

// Copies what a draw fixes or chooses between records that each hold it, as
// values or as optionals: a new condition drawn is one line here.
template <typename To, typename From>
void CopyDrawnParams(To& to, const From& from) {
    to.Map = from.Map;
    to.Target = from.Target;
    to.Aircraft = from.Aircraft;
    to.Clouds = from.Clouds;
    to.Moving = from.Moving;
    to.Mode = from.Mode;
    to.Difficulty = from.Difficulty;
    to.Time = from.Time;
    to.Weather = from.Weather;
    to.RandomRoute = from.RandomRoute;
}

// The draw's fixed values from conditions that also ask for `fighters`:
// fighters belong to a combat sortie, so asking for them fixes that.
template <typename Conditions>
TFixedParams FixedFrom(const Conditions& conditions) {
    TFixedParams fixed;
    CopyDrawnParams(fixed, conditions);
    if (conditions.Fighters && *conditions.Fighters > 0 && !fixed.Difficulty) fixed.Difficulty = kCombatDifficulty;
    return fixed;
}

// Draws into `data` a target with one of its defined variants (movement,
// difficulty, mission type) for which an aircraft is offered, the aircraft,
// the hour, the weather, the cloud base and the random route, each among what
// fits the fixed values; other fields are left as they are. False, with
// `data` unchanged, when nothing in the data fits the fixed values.
bool DrawSurprise(TMissionData& data, const TRefData& ref, const TFixedParams& fixed, TRandom& rnd);

}  // namespace zelk
