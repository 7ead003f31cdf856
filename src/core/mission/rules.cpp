#include "mission/rules.h"

namespace zelk {

std::vector<TVariantKey> DefinedVariants(const TTarget& target) {
    std::vector<TVariantKey> keys;
    for (int moving = 0; moving < kMovingCount; ++moving)
        for (int difficulty = 0; difficulty < kDifficultyCount; ++difficulty)
            for (int mode = 0; mode < kModeCount; ++mode)
                if (target.Cell(moving, difficulty, mode).Defined()) keys.push_back({moving, difficulty, mode});
    return keys;
}

bool VariantDefined(const TTarget& target, int moving, int difficulty, int mode) {
    return moving >= 0 && moving < kMovingCount && difficulty >= 0 && difficulty < kDifficultyCount && mode >= 0 &&
           mode < kModeCount && target.Cell(moving, difficulty, mode).Defined();
}

}  // namespace zelk
