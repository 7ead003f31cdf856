#include "data/picture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "files/error.h"
#include "support/datafiles.h"
#include "support/tempdir.h"

namespace zelk {
namespace {

using test::TinyJpeg;
using test::TTempDir;
using test::WriteFileBytes;

TImage Noise(int width, int height, unsigned seed) {
    TImage image;
    image.Width = width;
    image.Height = height;
    image.Rgb.resize(static_cast<std::size_t>(width) * height * 3);
    std::mt19937 rng(seed);
    for (auto& v : image.Rgb) v = static_cast<std::uint8_t>(rng());
    return image;
}

TEST(Picture, EncodeDecodeKeepsSizeAndColours) {
    TImage image;
    image.Width = 40;
    image.Height = 30;
    image.Rgb.resize(40 * 30 * 3);
    for (std::size_t i = 0; i < image.Rgb.size(); i += 3) {
        image.Rgb[i] = 200;
        image.Rgb[i + 1] = 40;
        image.Rgb[i + 2] = 90;
    }
    const std::string jpeg = EncodePicture(image, 95);
    const std::string file = "prefix" + jpeg + "trailing bytes";
    const TImage back = DecodePicture(file, 6, "mem");
    EXPECT_EQ(back.Width, 40);
    EXPECT_EQ(back.Height, 30);
    ASSERT_EQ(back.Rgb.size(), image.Rgb.size());
    for (std::size_t i = 0; i < back.Rgb.size(); ++i) EXPECT_NEAR(back.Rgb[i], image.Rgb[i], 6) << i;
    EXPECT_THROW(EncodePicture(TImage{}, 80), std::invalid_argument);
    EXPECT_THROW(EncodePicture(image, 0), std::invalid_argument);
}

TEST(Picture, LengthStopsAtTheImagesEnd) {
    // Noise gives entropy-coded data full of stuffed 0xFF 0x00 pairs.
    const std::string jpeg = EncodePicture(Noise(64, 48, 1), 100);
    ASSERT_NE(jpeg.find(std::string("\xFF\x00", 2)), std::string::npos);
    EXPECT_EQ(JpegLength(jpeg, 0, "m"), jpeg.size());
    EXPECT_EQ(JpegLength("abc" + jpeg + std::string("\xFF\xD9\xFF\xD8", 4), 3, "m"), jpeg.size());
}

TEST(Picture, LengthOfHandMadeSegments) {
    // SOI, an APP0 segment holding a false end marker, a fill byte, SOS, data
    // with stuffing, a restart marker and a fill byte, then EOI.
    const std::string jpeg = std::string(
        "\xFF\xD8"
        "\xFF\xE0\x00\x06\xFF\xD9\x00\x00"
        "\xFF\xFF\xDA\x00\x02"
        "\x12\xFF\x00\x34\xFF\xD3\x56\xFF\xFF\xD4\x78"
        "\xFF\xD9",
        28);
    EXPECT_EQ(JpegLength(jpeg + "junk", 0, "m"), jpeg.size());
}

TEST(Picture, EveryCutImageIsReportedWithinTheBuffer) {
    const std::string jpeg = TinyJpeg(24, 16);
    for (std::size_t length = 0; length < jpeg.size(); ++length) {
        const std::string cut = jpeg.substr(0, length);
        try {
            JpegLength(cut, 0, "cut.jpg");
            ADD_FAILURE() << "accepted an image cut to " << length;
        } catch (const TFileError& e) {
            EXPECT_EQ(e.File(), "cut.jpg");
            EXPECT_GE(e.Position(), 0);
            EXPECT_LE(e.Position(), static_cast<std::int64_t>(length));
        }
        EXPECT_THROW(DecodePicture(cut, 0, "cut.jpg"), TFileError);
    }
}

TEST(Picture, FaultsNameThePosition) {
    const std::string jpeg = TinyJpeg();
    try {
        DecodePicture("0123456789", 2, "data.rc0");
        FAIL();
    } catch (const TFileError& e) {
        EXPECT_EQ(e.Position(), 2);
        EXPECT_NE(std::string(e.what()).find("data.rc0"), std::string::npos);
    }
    EXPECT_THROW(DecodePicture(jpeg, -1, "m"), TFileError);
    EXPECT_THROW(DecodePicture(jpeg, static_cast<std::int64_t>(jpeg.size()), "m"), TFileError);
    // A segment length below 2 and a marker where data should be.
    EXPECT_THROW(JpegLength(std::string("\xFF\xD8\xFF\xE0\x00\x01\xFF\xD9", 8), 0, "m"), TFileError);
    EXPECT_THROW(JpegLength(std::string("\xFF\xD8\x00\xFF\xD9", 5), 0, "m"), TFileError);
    // Structurally whole, but libjpeg finds no frame: an error, not an abort.
    EXPECT_THROW(DecodePicture(std::string("\xFF\xD8\xFF\xD9", 4), 0, "m"), TFileError);
    // A frame header claiming an enormous image is refused before decoding.
    std::string huge = jpeg;
    const auto sof = huge.find(std::string("\xFF\xC0", 2));
    ASSERT_NE(sof, std::string::npos);
    huge[sof + 5] = huge[sof + 6] = huge[sof + 7] = huge[sof + 8] = '\xFF';
    EXPECT_THROW(DecodePicture(huge, 0, "m"), TFileError);
}

TEST(Picture, DamagedDataNeverAborts) {
    const std::string jpeg = EncodePicture(Noise(32, 32, 7), 80);
    std::mt19937 rng(99);
    for (int i = 0; i < 300; ++i) {
        std::string bad = jpeg;
        for (int k = 0; k < 4; ++k) bad[2 + rng() % (bad.size() - 2)] = static_cast<char>(rng());
        try {
            const TImage image = DecodePicture(bad, 0, "m");
            EXPECT_EQ(image.Rgb.size(), static_cast<std::size_t>(image.Width) * image.Height * 3);
        } catch (const TFileError&) {
        }
    }
}

TEST(Picture, ReadFromAFileLargerThanOneReadPiece) {
    TTempDir dir;
    const std::string big = EncodePicture(Noise(400, 300, 3), 100);
    ASSERT_GT(big.size(), 64u * 1024);
    const std::string small = TinyJpeg();
    WriteFileBytes(dir / "pics", "xy" + big + small + "tail");
    const TImage a = ReadPicture(dir / "pics", 2);
    EXPECT_EQ(a.Width, 400);
    EXPECT_EQ(a.Height, 300);
    const TImage b = ReadPicture(dir / "pics", 2 + static_cast<std::int64_t>(big.size()));
    EXPECT_EQ(b.Width, 16);
    EXPECT_EQ(b.Height, 12);
    EXPECT_THROW(ReadPicture(dir / "pics", 0), TFileError);
    EXPECT_THROW(ReadPicture(dir / "pics", 1 << 30), TFileError);
    EXPECT_THROW(ReadPicture(dir / "absent", 0), TFileError);
    // Cut in the middle of the big image.
    WriteFileBytes(dir / "cut", big.substr(0, 100000));
    EXPECT_THROW(ReadPicture(dir / "cut", 0), TFileError);
}

}  // namespace
}  // namespace zelk
