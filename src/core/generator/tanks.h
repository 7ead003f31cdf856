#pragma once
#include <string_view>

#include "mission/rules.h"

namespace zelk {

// The tank type 1..13 that a mission title's " [name]" suffix names for the
// side, or 0 when the title is no tank target's or names none.
int TankTypeFromTitle(std::string_view title, TTankSide side);

}  // namespace zelk
