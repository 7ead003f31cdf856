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
        // block's offset), or kNoSection / kHeaderOnly as they are.
        TVariantCell Variants[2][2][4];
        // Block fields are absolute offsets in data file DataFile, written as
        // they are: for a target whose blocks lie in another file.
        bool RawBlockOffsets = false;
    };
    std::vector<Target> Targets;
};

// The bytes of the data file: map record, (aircraft, route table), blocks,
// pictures, target table, trailer. Deterministic: the same source gives the
// same bytes.
// Throws std::invalid_argument (Russian, UTF-8) for a text longer than 255
// bytes or an index into Blocks or Pictures that does not exist.
std::string WriteDataFileBytes(const TDataFileSource& source);

// Where the writer put things, for tools and tests that patch or dump files.
struct TDataFileLayout {
    std::vector<std::int64_t> BlockOffsets;    // one per source block
    std::vector<std::int64_t> PictureOffsets;  // one per source picture
    std::vector<std::int64_t> TargetRecords;   // start of each target record
    std::int64_t TargetTable = 0;              // the count before the records
    std::int64_t Trailer = 0;                  // the last four bytes
};
std::string WriteDataFileBytes(const TDataFileSource& source, TDataFileLayout& layout);

}  // namespace zelk
