#pragma once
// A small world for the generator tests: one data file with a map, two
// aircraft, a route table and a few targets whose object blocks exercise the
// generator's rules. Expected texts are written in UTF-8 with "\n" and turned
// into the generator's own form (Windows-1251, CR LF) by MisText.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "data/codepage.h"
#include "data/datawriter.h"
#include "data/refdata.h"
#include "generator/random.h"
#include "mission/mission.h"
#include "support/datafiles.h"
#include "support/tempdir.h"

namespace zelk::test {

// UTF-8 text with "\n" line ends -> Windows-1251 with CR LF.
inline std::string MisText(std::string_view utf8) {
    std::string out;
    for (char c : W(utf8)) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

inline std::string U8(const std::string& cp1251) { return Cp1251ToUtf8(cp1251); }

// Replaces the one occurrence of `from`; fails the test when there is not
// exactly one, so a derived expectation never silently equals its base.
inline std::string ReplaceOne(std::string text, std::string_view from, std::string_view to) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at == std::string::npos) return text;
    EXPECT_EQ(text.find(from, at + 1), std::string::npos) << from;
    return text.replace(at, from.size(), to);
}

// The first seed from 1 on whose generator satisfies `accept`.
inline std::uint64_t FindSeed(const std::function<bool(TRandom&)>& accept) {
    for (std::uint64_t seed = 1; seed < 1000000; ++seed) {
        TRandom rnd(seed);
        if (accept(rnd)) return seed;
    }
    ADD_FAILURE() << "no seed found";
    return 0;
}

// Blocks of the data file, by index.
enum : int {
    kStationaryBlock,  // two light flak guns
    kNightBlock,
    kTargetBlock,
    kCameraBlock,  // uses %a
    kFrontBlock,
    kRedChiefsBlock,   // the vehicles that red columns swap
    kTankChiefsBlock,  // every placeholder
    kTankTargetBlock,
    kBlockCount
};

inline const char* kMapKey = "Island/load.ini";

inline TVariantCell StoreCell() {
    TVariantCell c;
    c.PointX = 10000;
    c.PointY = 20000;
    c.ChiefsBlock = -2;
    c.NStationaryBlock = kStationaryBlock;
    c.NightBlock = kNightBlock;
    c.BuildingsBlock = -1;
    c.TargetBlock = kTargetBlock;
    c.StaticCameraBlock = kCameraBlock;
    c.BridgeBlock = -1;
    c.HouseBlock = -2;
    c.FrontMarkerBlock = kFrontBlock;
    return c;
}

inline TDataFileSource::Target MakeTarget(const std::string& name, const TVariantCell& cell) {
    TDataFileSource::Target t;
    t.Name = name;
    t.MapKey = kMapKey;
    t.DataFile = 0;
    t.Picture = 0;
    for (auto& moving : t.Variants)
        for (auto& difficulty : moving)
            for (auto& mode : difficulty) mode = cell;
    return t;
}

inline TDataFileSource WorldSource() {
    TDataFileSource s;
    s.Primary = true;
    s.Map.Name = W("Остров");
    s.Map.Key = kMapKey;

    TAircraft il2;
    il2.Name = W("Ил-2 тип 3");
    il2.AirClass = "IL_2_3";
    il2.Modes = 0x0F;
    il2.Weapons = {"4xFAB100", "torpedo", "dive", "level"};
    TAircraft pe2;
    pe2.Name = W("Пе-2");
    pe2.AirClass = "PE_2S1";
    pe2.Modes = 0x0F;
    pe2.Weapons = {"p0", "p1", "p2", "p3"};
    s.Aircrafts = {il2, pe2};

    s.RouteOffsets[0] = {{{1000, 0}, {0, 1000}, {-500.5, 250.25}, {3000, -2000}}};
    s.RouteOffsets[1] = {{{1, 1}, {2, 2}, {3, 3}, {4, 4}}};
    s.RouteOffsets[2] = {{{5, 5}, {6, 6}, {7, 7}, {8, 8}}};
    s.RouteOffsets[3] = {{{4000, 0}, {2000, 100}, {0, -1000}, {-3000, -3000}}};

    s.Pictures = {TinyJpeg()};
    s.Blocks.resize(kBlockCount);
    s.Blocks[kStationaryBlock] = {"1_Static vehicles.artillery.Artillery$Flak30_20mm 2 10100.00 20100.00 90.00 0.0",
                                  "2_Static vehicles.artillery.Artillery$Flak18_37mm 2 9900.00 19900.00 270.00 0.0"};
    s.Blocks[kNightBlock] = {"3_Static vehicles.lights.Searchlight 1 10050.00 20050.00 0.00 0.0"};
    s.Blocks[kTargetBlock] = {"3 0 0 10000 20000 500"};
    s.Blocks[kCameraBlock] = {"10000 20000 100 %a"};
    s.Blocks[kFrontBlock] = {"FrontMarker0 9000.00 19000.00 1", "FrontMarker1 11000.00 21000.00 2"};
    s.Blocks[kRedChiefsBlock] = {"0_Chief Armor.1-Nimrod 1-Nimrod SdKfz251 ", "1_Chief Armor.SdKfz251 SdKfz251 x",
                                 "2_Chief Vehicles.GAZ 1"};
    s.Blocks[kTankChiefsBlock] = {"0_Chief Armor.%p 2 %t", "1_Chief Armor.%b 2", "2_Chief Ships.%v 1",
                                  "3_Chief Trains.%r %a", "alt %h, odd %x%%z end%"};
    s.Blocks[kTankTargetBlock] = {"4 0 0 %t"};

    s.Targets.push_back(MakeTarget(W("Склад у дороги"), StoreCell()));

    TVariantCell red;
    red.PointX = 5000.25;
    red.PointY = -800;
    red.ChiefsBlock = kRedChiefsBlock;
    red.StaticCameraBlock = -2;
    s.Targets.push_back(MakeTarget(W("Колонна у переправы"), red));

    TVariantCell tanks;
    tanks.PointX = 10000;
    tanks.PointY = 20000;
    tanks.ChiefsBlock = kTankChiefsBlock;
    tanks.TargetBlock = kTankTargetBlock;
    tanks.StaticCameraBlock = -2;
    s.Targets.push_back(MakeTarget(W("Колонна: танки синих, Топливный поезд, Essex и Akagi"), tanks));

    return s;
}

// The world on disk: orvak_zelk.rc0 in a temporary folder, loaded as the
// program loads it, and a mission folder beside it.
struct TWorld {
    TTempDir Dir;
    TRefData Ref;
    std::filesystem::path Missions;

    TWorld() {
        WriteFileBytes(Dir / "orvak_zelk.rc0", WriteDataFileBytes(WorldSource()));
        Ref = LoadRefData(Dir.Path());
        // Targets the loader would refuse; they stand for data files that
        // changed or went away after the program started.
        auto elsewhere = std::make_unique<TTarget>();
        elsewhere->Name = W("Цель в другом файле");
        elsewhere->MapKey = kMapKey;
        elsewhere->DataFile = 5;
        auto broken = std::make_unique<TTarget>();
        broken->Name = W("Сломанная цель");
        broken->MapKey = kMapKey;
        for (auto& moving : broken->Variants)
            for (auto& difficulty : moving)
                for (auto& mode : difficulty) mode.TargetBlock = 1000000;
        Ref.Targets.Items.push_back(std::move(elsewhere));
        Ref.Targets.Items.push_back(std::move(broken));
        Missions = Dir / "Missions";
        std::filesystem::create_directory(Missions);
    }
};

// A stationary ground attack on the store in a training sortie, saved as
// number 7: the plainest mission the world offers.
inline TMission BaseMission() {
    TMission m;
    m.Number = 7;
    m.MakeFileNames(7);
    m.Name = m.FileName;
    TMissionData& d = m.Data;
    d.Map = kMapKey;
    d.Target = W("Склад у дороги");
    d.Aircraft = "PE_2S1";
    d.Height = 1000;
    d.Clouds = "800";
    d.Time = 12;
    d.Weather = 1;
    return m;
}

}  // namespace zelk::test
