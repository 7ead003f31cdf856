#pragma once
// Names shared by the manifest reader and writer.
#include <array>
#include <cstdint>

#include "data/refdata.h"

namespace zelk::pack {

struct TBlockField {
    const char* Key;                     // manifest key of a cell
    std::int32_t TVariantCell::*Member;  // the offset it sets
};

// In the order the cell holds them.
inline constexpr std::array<TBlockField, 9> kBlockFields{{
    {"chiefs", &TVariantCell::ChiefsBlock},
    {"nstationary", &TVariantCell::NStationaryBlock},
    {"buildings", &TVariantCell::BuildingsBlock},
    {"target", &TVariantCell::TargetBlock},
    {"static_camera", &TVariantCell::StaticCameraBlock},
    {"bridge", &TVariantCell::BridgeBlock},
    {"house", &TVariantCell::HouseBlock},
    {"front_marker", &TVariantCell::FrontMarkerBlock},
    {"night", &TVariantCell::NightBlock},
}};

// Keys of the route offset table, one per mission type.
inline constexpr std::array<const char*, 4> kRouteKeys{"mode0", "mode1", "mode2", "mode3"};

}  // namespace zelk::pack
