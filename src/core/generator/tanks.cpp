#include "generator/tanks.h"

#include <string>

#include "data/catalogues.h"
#include "data/codepage.h"

namespace zelk {

int TankTypeFromTitle(std::string_view title, int side) {
    static const std::string tanksWord = W("танки ");
    if (side != 1 && side != 2) return 0;
    // The cheap test first: most titles name no tank type at all.
    if (title.find(" [") == std::string_view::npos) return 0;
    if (LowerCp1251(title).find(tanksWord) == std::string::npos) return 0;
    const auto open = title.find('[');
    const auto close = title.find(']');
    // A "]" before the first "[" names nothing.
    if (close == std::string_view::npos || close < open) return 0;
    const std::string_view name = title.substr(open + 1, close - open - 1);
    for (int k = 1; k <= 13; ++k)
        if (TankDisplayNames[side][k] == name) return k;
    return 0;
}

}  // namespace zelk
