#pragma once
#include <string_view>

namespace zelk {

// The tank type 1..13 that a mission title's " [name]" suffix names for side
// (1 red, 2 blue), or 0 when the title is no tank title or names none.
int TankTypeFromTitle(std::string_view title, int side);

}  // namespace zelk
