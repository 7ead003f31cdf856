#include "mission/rules.h"

#include <algorithm>

#include "data/catalogues.h"
#include "data/codepage.h"

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

const std::string& TanksWord() {
    static const std::string word = W("танки");
    return word;
}

bool IsTankTarget(std::string_view name) { return LowerCp1251(name).find(TanksWord()) != std::string::npos; }

TTankSide TankSideFor(std::string_view name, int army) {
    static const std::string blueTanks = TanksWord() + W(" синих");
    static const std::string redTanks = TanksWord() + W(" красных");
    const std::string lower = LowerCp1251(name);
    if (lower.find(blueTanks) != std::string::npos) return TTankSide::Blue;
    if (lower.find(redTanks) != std::string::npos) return TTankSide::Red;
    return static_cast<TTankSide>(EnemySide[static_cast<std::size_t>(std::clamp(army, kArmyRange.Lo, kArmyRange.Hi))]);
}

}  // namespace zelk
