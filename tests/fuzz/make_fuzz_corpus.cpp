// Writes the seed inputs of fuzz_datafile into the folder given: small good
// data files of both kinds and a bare picture, made by our own writer.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "data/datawriter.h"
#include "data/picture.h"

namespace {

std::string Picture(int width, int height) {
    zelk::TImage image;
    image.Width = width;
    image.Height = height;
    image.Rgb.resize(static_cast<std::size_t>(width) * height * 3);
    for (std::size_t i = 0; i < image.Rgb.size(); ++i) image.Rgb[i] = static_cast<std::uint8_t>(i * 7);
    return zelk::EncodePicture(image, 75);
}

zelk::TDataFileSource Source(bool primary, int targets) {
    zelk::TDataFileSource s;
    s.Primary = primary;
    s.Map.Name = "Map";
    s.Map.Key = "map/load.ini";
    if (primary) {
        zelk::TAircraft a;
        a.Name = "Il-2";
        a.AirClass = "IL_2M";
        a.Modes = 0x0F;
        s.Aircrafts.push_back(a);
        for (int m = 0; m < 4; ++m)
            for (int k = 0; k < 4; ++k) s.RouteOffsets[m][k] = {100.0 * m, 10.0 * k};
    }
    s.Blocks = {{"[line one]", "  1_Static 100.00 200.00"}, {}, {"last line without its end"}};
    s.Pictures = {Picture(8, 8)};
    for (int i = 0; i < targets; ++i) {
        zelk::TDataFileSource::Target t;
        t.Name = "Target " + std::to_string(i);
        t.MapKey = s.Map.Key;
        t.DataFile = primary ? 0 : 1;
        t.Picture = 0;
        for (auto& a : t.Variants)
            for (auto& b : a)
                for (auto& c : b) {
                    c.PointX = 1000;
                    c.PointY = 2000;
                    c.ChiefsBlock = 0;
                    c.NStationaryBlock = 1;
                    c.StaticCameraBlock = i % 2 == 0 ? 0 : -1;
                    c.NightBlock = -2;
                }
        s.Targets.push_back(t);
    }
    return s;
}

bool Write(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_corpus <folder>\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    bool ok = Write(dir / "primary.rc", zelk::WriteDataFileBytes(Source(true, 2)));
    ok = Write(dir / "supplement.rc", zelk::WriteDataFileBytes(Source(false, 1))) && ok;
    ok = Write(dir / "picture.jpg", Picture(16, 16)) && ok;
    if (!ok) {
        std::fprintf(stderr, "cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
