#pragma once
// A new mission's parameters from the options of `new` (cli_plan.cpp).
#include "cli_args.h"
#include "data/refdata.h"
#include "generator/random.h"
#include "mission/mission.h"

namespace zelk::cli {

// The New defaults, the values given, then the window's settling. A value
// given explicitly that the settling would replace is refused (TUsageError)
// instead, so nothing is ever silently changed; data without a map with
// targets throw TCliFailure.
TMissionData PlanNewMission(const TRefData& ref, const TParamArgs& params);

// --random: the parameters left out drawn among what the data offer. Throws
// TUsageError when nothing fits the ones given.
TParamArgs SurpriseParams(const TRefData& ref, TParamArgs params, TRandom& rnd);

}  // namespace zelk::cli
