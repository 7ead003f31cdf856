#pragma once
// "Surprise me": the parameters of a mission drawn at random among what the
// reference data offer, around those the pilot fixed.
#include <optional>
#include <string>

#include "data/refdata.h"
#include "generator/random.h"
#include "mission/mission.h"

namespace zelk {

// What the pilot fixed; everything left empty is drawn.
struct TFixedParams {
    std::optional<std::string> Map, Target, Aircraft, Clouds;  // Windows-1251
    std::optional<int> Moving, Mode, Difficulty, Time, Weather, RandomRoute;
    // Only targets whose name holds this text, letter case aside.
    std::optional<std::string> TargetKind;
};

// Draws into `data` a target with one of its defined variants (movement,
// difficulty, mission type) for which an aircraft is offered, the aircraft,
// the hour, the weather, the cloud base and the random route, each among what
// fits the fixed values; other fields are left as they are. False, with
// `data` unchanged, when nothing in the data fits the fixed values.
bool DrawSurprise(TMissionData& data, const TRefData& ref, const TFixedParams& fixed, TRandom& rnd);

}  // namespace zelk
