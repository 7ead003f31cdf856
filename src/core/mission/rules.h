#pragma once
// Rules of a mission that the window, zelk-cli, the library and the writer
// all follow: which variants a target has, when enemy fighters fly, which
// side's tanks a target is about. Each is written here once.
#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "data/refdata.h"
#include "mission/params.h"

namespace zelk {

// The bounds of a target's variant table: movement, difficulty, mission type.
inline constexpr int kMovingCount = kMovingRange.Hi + 1;
inline constexpr int kDifficultyCount = kDifficultyRange.Hi + 1;
inline constexpr int kModeCount = kModeRange.Hi + 1;
static_assert(std::extent_v<decltype(TTarget::Variants), 0> == kMovingCount);
static_assert(std::extent_v<decltype(TTarget::Variants), 1> == kDifficultyCount);
static_assert(std::extent_v<decltype(TTarget::Variants), 2> == kModeCount);

// One variant of a target: the cell it has for a movement, difficulty and
// mission type.
struct TVariantKey {
    int Moving = 0;
    int Difficulty = 0;
    int Mode = 0;
};

// The target's defined variants (those with target objects to write), in the
// order of their cell numbers: movement, then difficulty, then mission type.
std::vector<TVariantKey> DefinedVariants(const TTarget& target);

// Whether the target has a defined cell for these values; false for a value
// outside the table.
bool VariantDefined(const TTarget& target, int moving, int difficulty, int mode);

// Enemy fighters belong to a combat sortie only: a training sortie flies none.
inline constexpr int kCombatDifficulty = 1;
constexpr bool FightersAllowed(int difficulty) { return difficulty == kCombatDifficulty; }

// The side whose tank columns a mission fills; the tank tables are indexed
// by its number.
enum class TTankSide { None = 0, Red = 1, Blue = 2 };

constexpr std::size_t SideIndex(TTankSide side) { return static_cast<std::size_t>(side); }

// "танки" in Windows-1251, lower case.
const std::string& TanksWord();

// Whether the tank lists apply to a target: its name holds "танки" in any case,
// whatever follows the word. The save writes the choice into the title of
// exactly these targets, so that reading the mission back finds it.
bool IsTankTarget(std::string_view name);

// The side whose tank columns a mission fills: the one its title or target
// name sets ("танки синих", "танки красных", in any case), else the side
// opposite the player's army (brought into its range).
TTankSide TankSideFor(std::string_view name, int army);
}  // namespace zelk
