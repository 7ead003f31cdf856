#include "generator/tanks.h"

#include "data/catalogues.h"
#include "mission/params.h"

namespace zelk {

int TankTypeFromTitle(std::string_view title, TTankSide side) {
    if (side != TTankSide::Red && side != TTankSide::Blue) return 0;
    // The cheap test first: most titles name no tank type at all.
    if (title.find(" [") == std::string_view::npos) return 0;
    // Every title that holds "танки " holds "танки": what was read stays read.
    if (!IsTankTarget(title)) return 0;
    const auto open = title.find('[');
    const auto close = title.find(']');
    // A "]" before the first "[" names nothing.
    if (close == std::string_view::npos || close < open) return 0;
    const std::string_view name = title.substr(open + 1, close - open - 1);
    for (int k = 1; k <= kTanksRange.Hi; ++k)
        if (TankDisplayNames[SideIndex(side)][k] == name) return k;
    return 0;
}

}  // namespace zelk
