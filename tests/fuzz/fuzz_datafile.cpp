// Feeds arbitrary bytes to the data-file loader, then reads object blocks and
// pictures at offsets found in the input. Any fault must come out as a
// TFileError; anything else (a crash, another exception, a read outside the
// input) is a finding.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "data/catalogues.h"
#include "files/error.h"
#include "data/picture.h"
#include "data/refdata.h"

namespace {

const std::filesystem::path kName = "orvak_zelk.rc0";

void TryBlock(std::string_view bytes, std::int64_t offset) {
    try {
        for (const auto& line : zelk::ParseObjectBlock(bytes, offset, kName))
            if (line.find(zelk::BlockLineEnd) != std::string::npos || line.find(zelk::BlockEnd) != std::string::npos)
                __builtin_trap();
    } catch (const zelk::TFileError&) {
    }
}

void TryPicture(std::string_view bytes, std::int64_t offset) {
    try {
        const std::size_t length = zelk::JpegLength(bytes, offset, kName);
        if (offset < 0 || length > bytes.size() - static_cast<std::size_t>(offset)) __builtin_trap();
        const zelk::TImage image = zelk::DecodePicture(bytes, offset, kName);
        if (image.Rgb.size() != static_cast<std::size_t>(image.Width) * static_cast<std::size_t>(image.Height) * 3)
            __builtin_trap();
    } catch (const zelk::TFileError&) {
    }
}

std::int32_t Int32At(std::string_view bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<std::uint8_t>(bytes[at + static_cast<std::size_t>(i)]);
    return static_cast<std::int32_t>(v);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    for (const int index : {0, 1}) {
        zelk::TRefData into;
        try {
            zelk::ReadDataFile(bytes, index, kName, into);
        } catch (const zelk::TFileError&) {
            if (into.Maps.Count() != 0 || into.Targets.Count() != 0) __builtin_trap();  // left unchanged
            continue;
        }
        if (into.Maps.Count() != 1) __builtin_trap();
        int tried = 0;
        for (const auto& t : into.Targets.Items) {
            if (++tried > 4) break;
            TryPicture(bytes, t->PictureOffset);
            const zelk::TVariantCell& c = t->Cell(tried % 2, (tried / 2) % 2, tried % 4);
            for (const std::int32_t block : {c.ChiefsBlock, c.NStationaryBlock, c.StaticCameraBlock, c.NightBlock})
                TryBlock(bytes, block);
        }
    }

    // Offsets straight from the input, in range or not.
    TryPicture(bytes, 0);
    TryBlock(bytes, 0);
    if (size >= 8) {
        TryBlock(bytes, Int32At(bytes, 0));
        TryPicture(bytes, Int32At(bytes, size - 8));
    }
    return 0;
}
