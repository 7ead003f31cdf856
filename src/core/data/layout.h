#pragma once
// How a data file orvak_zelk.rcN is laid out, little-endian throughout:
//   the map record: name, key (a text is its length byte, then its bytes);
//   file 0 only: the aircraft count (int32), the aircraft records, the route
//     table (4 mission types x 4 points x X, Y as doubles);
//   object blocks and pictures, anywhere before the target table;
//   the target table: its count (int32), the target records (name, map key,
//     data file, picture offset, then the 16 variant cells);
//   the trailer: the target table's offset (int32), the last four bytes.
// The loader, the writer and zelk-pack's check and dump all take the sizes
// from here.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "data/refdata.h"

namespace zelk {

inline constexpr int kDataFileCount = 10;

inline constexpr std::size_t kInt32Size = 4;
inline constexpr std::size_t kDoubleSize = 8;
inline constexpr std::size_t kTrailerSize = kInt32Size;

// The bytes a text takes: its length byte and the text.
constexpr std::size_t TextSize(std::string_view text) { return 1 + text.size(); }

// A variant cell: the target point (X, Y), the block offsets in the order
// below, then Reserved.
inline constexpr std::array<std::int32_t TVariantCell::*, 9> kCellBlockFields{
    &TVariantCell::ChiefsBlock, &TVariantCell::NStationaryBlock,  &TVariantCell::BuildingsBlock,
    &TVariantCell::TargetBlock, &TVariantCell::StaticCameraBlock, &TVariantCell::BridgeBlock,
    &TVariantCell::HouseBlock,  &TVariantCell::FrontMarkerBlock,  &TVariantCell::NightBlock};
inline constexpr std::size_t kBlocksPerCell = kCellBlockFields.size();
// A block offset that names no block: the section is left out, or written
// as its header alone. Any other negative offset is a fault of the file.
inline constexpr std::int32_t kNoSection = -1;
inline constexpr std::int32_t kHeaderOnly = -2;
inline constexpr std::size_t kCellBlocksAt = 2 * kDoubleSize;
inline constexpr std::size_t kCellSize = kCellBlocksAt + (kBlocksPerCell + 1) * kInt32Size;
// Cell number n = Moving * 8 + Difficulty * 4 + Mode.
inline constexpr std::size_t kCellCount = 16;
inline TVariantCell& CellByNumber(TTarget& t, std::size_t n) { return t.Variants[n / 8][(n / 4) % 2][n % 4]; }
inline const TVariantCell& CellByNumber(const TTarget& t, std::size_t n) {
    return t.Variants[n / 8][(n / 4) % 2][n % 4];
}

// The smallest records (all texts empty): a count is checked against the
// bytes that remain before anything is allocated.
// An aircraft record: name, spare text, class, the modes byte, the weapon texts.
inline constexpr std::size_t kWeaponTexts = std::tuple_size_v<decltype(TAircraft::Weapons)>;
inline constexpr std::size_t kMinAircraftSize = 3 + 1 + kWeaponTexts;
inline std::size_t AircraftRecordSize(const TAircraft& a) {
    std::size_t size = TextSize(a.Name) + TextSize(a.SpareText) + TextSize(a.AirClass) + 1;
    for (const auto& w : a.Weapons) size += TextSize(w);
    return size;
}

inline constexpr std::size_t kRouteTableSize =
    std::tuple_size_v<TRouteOffsets> * std::tuple_size_v<TRouteOffsets::value_type> * 2 * kDoubleSize;

inline std::size_t MapRecordSize(const TMap& m) { return TextSize(m.Name) + TextSize(m.Key); }

// A target record after its two texts: data file, picture offset, cells.
inline constexpr std::size_t kTargetPictureAt = kInt32Size;  // from the data file field
inline constexpr std::size_t kTargetCellsAt = 2 * kInt32Size;
inline constexpr std::size_t kTargetFixedSize = kTargetCellsAt + kCellCount * kCellSize;
inline constexpr std::size_t kMinTargetSize = 1 + 1 + kTargetFixedSize;
// Where block field k of cell n lies, from the data file field.
constexpr std::size_t TargetBlockAt(std::size_t cell, std::size_t k) {
    return kTargetCellsAt + cell * kCellSize + kCellBlocksAt + kInt32Size * k;
}

static_assert(kCellSize == 56 && kRouteTableSize == 256 && kMinTargetSize == 906);

}  // namespace zelk
