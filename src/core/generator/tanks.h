#pragma once
#include <string>
#include <string_view>

namespace zelk {

// "танки" in Windows-1251: a target whose name holds it, in any case, is a
// tank column target.
const std::string& TanksWord();

// The tank type 1..13 that a mission title's " [name]" suffix names for side
// (1 red, 2 blue), or 0 when the title is no tank title or names none.
int TankTypeFromTitle(std::string_view title, int side);

// The side (1 red, 2 blue) whose tank columns a mission fills: the one its
// title or target name sets ("танки синих", "танки красных"), else the side
// opposite the player's army (brought into 0..3).
int TankSideFor(std::string_view title, int army);

}  // namespace zelk
