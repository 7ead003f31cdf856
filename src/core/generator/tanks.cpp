#include "generator/tanks.h"

#include <algorithm>
#include <string>

#include "data/catalogues.h"
#include "data/codepage.h"
#include "mission/params.h"

namespace zelk {

const std::string& TanksWord() {
    static const std::string word = W("танки");
    return word;
}

int TankSideFor(std::string_view title, int army) {
    static const std::string blueTanks = TanksWord() + W(" синих");
    static const std::string redTanks = TanksWord() + W(" красных");
    if (title.find(blueTanks) != std::string_view::npos) return 2;
    if (title.find(redTanks) != std::string_view::npos) return 1;
    return EnemySide[static_cast<std::size_t>(std::clamp(army, kArmyRange.Lo, kArmyRange.Hi))];
}

int TankTypeFromTitle(std::string_view title, int side) {
    static const std::string tanksWord = TanksWord() + " ";
    if (side != 1 && side != 2) return 0;
    // The cheap test first: most titles name no tank type at all.
    if (title.find(" [") == std::string_view::npos) return 0;
    if (LowerCp1251(title).find(tanksWord) == std::string::npos) return 0;
    const auto open = title.find('[');
    const auto close = title.find(']');
    // A "]" before the first "[" names nothing.
    if (close == std::string_view::npos || close < open) return 0;
    const std::string_view name = title.substr(open + 1, close - open - 1);
    for (int k = 1; k <= kTanksRange.Hi; ++k)
        if (TankDisplayNames[side][k] == name) return k;
    return 0;
}

}  // namespace zelk
