#pragma once
// Names shared by the manifest reader and writer.
#include <array>
#include <cstdint>

#include "data/layout.h"
#include "data/refdata.h"

namespace zelk::pack {

struct TBlockField {
    const char* Key;                     // manifest key of a cell
    std::int32_t TVariantCell::*Member;  // the offset it sets
};

// In the order the cell holds them.
inline constexpr std::array<TBlockField, kBlocksPerCell> kBlockFields{{
    {"chiefs", kCellBlockFields[0]},
    {"nstationary", kCellBlockFields[1]},
    {"buildings", kCellBlockFields[2]},
    {"target", kCellBlockFields[3]},
    {"static_camera", kCellBlockFields[4]},
    {"bridge", kCellBlockFields[5]},
    {"house", kCellBlockFields[6]},
    {"front_marker", kCellBlockFields[7]},
    {"night", kCellBlockFields[8]},
}};

// Keys of the route offset table, one per mission type.
inline constexpr std::array<const char*, 4> kRouteKeys{"mode0", "mode1", "mode2", "mode3"};

}  // namespace zelk::pack
