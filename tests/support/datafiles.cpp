#include "support/datafiles.h"

#include "data/codepage.h"
#include "data/picture.h"
#include "support/tempdir.h"

namespace zelk::test {

std::filesystem::path WriteDataFile(const std::filesystem::path& dir, int index, const TDataFileSource& source,
                                    TDataFileLayout* layout) {
    TDataFileLayout ignored;
    const std::string bytes = WriteDataFileBytes(source, layout != nullptr ? *layout : ignored);
    const auto path = dir / DataFileName(index);
    WriteFileBytes(path, bytes);
    return path;
}

std::string TinyJpeg(int width, int height) {
    TImage image;
    image.Width = width;
    image.Height = height;
    image.Rgb.resize(static_cast<std::size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            auto* p = &image.Rgb[(static_cast<std::size_t>(y) * width + x) * 3];
            p[0] = static_cast<std::uint8_t>(x * 255 / (width > 1 ? width - 1 : 1));
            p[1] = static_cast<std::uint8_t>(y * 255 / (height > 1 ? height - 1 : 1));
            p[2] = 128;
        }
    }
    return EncodePicture(image, 90);
}

void FillCells(TDataFileSource::Target& target, std::int32_t block, double x, double y) {
    for (auto& byMoving : target.Variants) {
        for (auto& byDifficulty : byMoving) {
            for (auto& cell : byDifficulty) {
                cell.PointX = x;
                cell.PointY = y;
                cell.ChiefsBlock = cell.NStationaryBlock = cell.BuildingsBlock = cell.TargetBlock = block;
                cell.StaticCameraBlock = cell.BridgeBlock = cell.HouseBlock = cell.FrontMarkerBlock = block;
                cell.NightBlock = block;
                cell.Reserved = 0;
            }
        }
    }
}

TDataFileSource::Target SimpleTarget(const std::string& name, const std::string& mapKey, std::int32_t dataFile) {
    TDataFileSource::Target t;
    t.Name = name;
    t.MapKey = mapKey;
    t.DataFile = dataFile;
    t.Picture = 0;
    FillCells(t, 0, 1000, 2000);
    return t;
}

namespace {

void AddTargets(TDataFileSource& s, int index, int targets) {
    s.Blocks.push_back({"  0_Chief Armor.1-BT7 1", "  1 2 3"});
    s.Pictures.push_back(TinyJpeg());
    for (int i = 1; i <= targets; ++i)
        s.Targets.push_back(SimpleTarget(W("Цель ") + std::to_string(i), s.Map.Key, index));
}

}  // namespace

TDataFileSource PrimarySource(const std::string& mapName, const std::string& mapKey, int targets) {
    TDataFileSource s;
    s.Primary = true;
    s.Map.Name = mapName;
    s.Map.Key = mapKey;
    TAircraft a;
    a.Name = "Il-2";
    a.SpareText = "spare";
    a.AirClass = "IL_2M";
    a.Modes = 0b1101;
    a.Weapons = {"4xFAB100", "", "2xFAB250", "default"};
    s.Aircrafts.push_back(a);
    for (int m = 0; m < 4; ++m)
        for (int k = 0; k < 4; ++k) s.RouteOffsets[m][k] = {1000.0 * (m + 1) + k, -500.0 * k - m};
    AddTargets(s, 0, targets);
    return s;
}

TDataFileSource SupplementSource(int index, const std::string& mapName, const std::string& mapKey, int targets) {
    TDataFileSource s;
    s.Map.Name = mapName;
    s.Map.Key = mapKey;
    AddTargets(s, index, targets);
    return s;
}

}  // namespace zelk::test
