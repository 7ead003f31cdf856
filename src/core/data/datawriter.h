#pragma once
// Writing data files: the exact inverse of the loader. Used by zelk-pack and
// by the tests, which build small data files of their own.
#include <cstdint>
#include <string>
#include <vector>

#include "data/refdata.h"

namespace zelk {

// Everything one data file holds. Blocks and pictures are placed by the
// writer; targets refer to them by index, which the writer turns into offsets.
struct TDataFileSource {
    TMap Map;
    bool Primary = false;              // file 0: aircraft and route tables follow the map
    std::vector<TAircraft> Aircrafts;  // file 0 only
    TRouteOffsets RouteOffsets{};      // file 0 only
    // Raw object blocks: the lines, each written with its 0x07, then 0x04.
    std::vector<std::vector<std::string>> Blocks;
    // JPEG files, stored as they are.
    std::vector<std::string> Pictures;

    struct Target {
        std::string Name;
        std::string MapKey;
        std::int32_t DataFile = 0;
        // Index into Pictures of this file, or -1 to keep PictureOffset as given.
        int Picture = -1;
        std::int32_t PictureOffset = 0;
        // Block fields hold an index into Blocks when >= 0 (turned into the
        // block's offset), or -1 / -2 as they are.
        TVariantCell Variants[2][2][4];
    };
    std::vector<Target> Targets;
};

// The bytes of the data file: map record, (aircraft, route table), blocks,
// pictures, target table, trailer. Deterministic: the same source gives the
// same bytes.
std::string WriteDataFileBytes(const TDataFileSource& source);

}  // namespace zelk
