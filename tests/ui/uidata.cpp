#include "uidata.h"

#include "data/codepage.h"
#include "data/datawriter.h"
#include "support/datafiles.h"

namespace zelk::test {

namespace fs = std::filesystem;

namespace {

TAircraft Aircraft(const char* name, const char* airClass, std::uint8_t modes) {
    TAircraft a;
    a.Name = W(name);
    a.AirClass = airClass;
    a.Modes = modes;
    return a;
}

TDataFileSource::Target Target(const char* name, const char* mapKey, int dataFile, int picture) {
    TDataFileSource::Target t;
    t.Name = W(name);
    t.MapKey = mapKey;
    t.DataFile = dataFile;
    t.Picture = picture;
    FillCells(t, 0, 15000, 20000);
    return t;
}

void Undefine(TDataFileSource::Target& t, int moving, int difficulty, int mode) {
    t.Variants[moving][difficulty][mode].StaticCameraBlock = -1;
}

}  // namespace

TUiSandbox::TUiSandbox(bool withData) {
    Root = Dir / "sim";
    Data = Root / "ZELK";
    MissionFolder = Root / "Missions" / "Single" / "NN" / "ZELK";
    fs::create_directories(Data);
    if (!withData) return;

    TDataFileSource primary;
    primary.Primary = true;
    primary.Map.Name = W("Карта А");
    primary.Map.Key = "maps/a.ini";
    primary.Aircrafts = {Aircraft("Ил-2", "IL2", 0b0001), Aircraft("Пе-2", "PE2", 0b1100),
                         Aircraft("Ту-2", "TU2", 0b1001), Aircraft("Учебный", "NONE", 0)};
    for (int m = 0; m < 4; ++m)
        for (int k = 0; k < 4; ++k) primary.RouteOffsets[m][k] = {1000.0 * (k + 1), 500.0 * m};
    primary.Blocks.push_back({"  0_Chief Armor.1-BT7 1", "  1 2 3"});
    primary.Pictures = {TinyJpeg(40, 30), TinyJpeg(50, 20), TinyJpeg(300, 230)};

    auto column = Target("Колонна, танки синих", "maps/a.ini", 0, 0);
    auto bridge = Target("Мост", "maps/a.ini", 0, 1);
    for (int moving = 0; moving < 2; ++moving)
        for (int difficulty = 0; difficulty < 2; ++difficulty)
            for (int mode = 0; mode < 4; ++mode)
                if (moving == 1 || mode < 2) Undefine(bridge, moving, difficulty, mode);
    auto depot = Target("Склад", "maps/a.ini", 0, 2);
    for (int mode = 0; mode < 4; ++mode) Undefine(depot, 1, 0, mode);
    primary.Targets = {column, bridge, depot};
    WriteDataFile(Data, 0, primary);

    TDataFileSource second;
    second.Map.Name = W("Карта Б");
    second.Map.Key = "maps/b.ini";
    second.Blocks.push_back({"  0_Chief Armor.1-BT7 1", "  4 5 6"});
    second.Pictures = {TinyJpeg(60, 40)};
    second.Targets = {Target("Поезд", "maps/b.ini", 1, 0)};
    WriteDataFile(Data, 1, second);
}

}  // namespace zelk::test
