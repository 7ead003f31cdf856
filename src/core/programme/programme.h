#pragma once
// A training programme: steps, each a set of conditions, flown in order; the
// pilot moves on by the rule in the file (so many flights in a row marked
// "yes"). The file's reading is elsewhere (the core knows no TOML).
#include <cstdint>
#include <string>
#include <vector>

#include "data/refdata.h"
#include "library/conditions.h"
#include "mission/mission.h"

namespace zelk {

struct TProgrammeStep {
    std::string Name;  // UTF-8
    TConditions Conditions;
};

struct TProgramme {
    std::string Name;      // UTF-8
    int AdvanceAfter = 2;  // "yes" marks in a row; 0: only the pilot moves on
    std::vector<TProgrammeStep> Steps;
};

// Gives `mission` the parameters of a mission drawn from step `step` (from
// 1) with `seed`; returns what the data made the draw settle (UTF-8 lines).
// Throws std::runtime_error when the step does not exist or the data hold no
// target at all; the mission is then unchanged.
std::vector<std::string> ApplyProgrammeStep(TMission& mission, const TProgramme& programme, int step,
                                            const TRefData& ref, std::uint64_t seed);

}  // namespace zelk
