#pragma once
// Target pictures: JPEG images stored inside the data files.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zelk {

struct TImage {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Rgb;  // Width*Height*3 bytes, rows top to bottom
};

// Decodes the JPEG image that starts at `offset` of the file; the image ends
// itself and what follows is ignored. Throws TFileError (with the position)
// when the file cannot be read or holds no valid JPEG image there.
TImage ReadPicture(const std::filesystem::path& file, std::int64_t offset);

// The same over bytes in memory; fileName is only used in errors.
TImage DecodePicture(std::string_view bytes, std::int64_t offset, const std::filesystem::path& fileName);

// Whether a JPEG image starts at `at` (its start marker FF D8).
inline bool JpegStartsAt(std::string_view bytes, std::size_t at) {
    return bytes.size() >= at + 2 && bytes[at] == '\xFF' && bytes[at + 1] == '\xD8';
}

// Length in bytes of the JPEG image at `offset` (up to and including its end
// marker), found by walking its segments; throws TFileError when the bytes
// there are not a complete JPEG image.
std::size_t JpegLength(std::string_view bytes, std::int64_t offset, const std::filesystem::path& fileName);

// Encodes an image as a baseline JPEG (quality 1..100). For the packer's demo
// pictures and the tests; throws std::invalid_argument for an empty image or
// a pixel buffer of the wrong size.
std::string EncodePicture(const TImage& image, int quality = 85);

}  // namespace zelk
