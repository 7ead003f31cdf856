#include "data/refdata.h"

#include <gtest/gtest.h>

#include "data/codepage.h"
#include "data/datawriter.h"
#include "data/error.h"
#include "support/datafiles.h"
#include "support/tempdir.h"

namespace zelk {
namespace {

using test::PrimarySource;
using test::SupplementSource;
using test::TTempDir;
using test::WriteDataFile;

TEST(RefDataLoad, PrimaryFileRoundTripsEveryField) {
    TTempDir dir;
    TDataFileSource src = PrimarySource(W("Сталинград"), "stalingrad/load.ini", 2);
    TAircraft fresh;
    fresh.Name = W("Ил-2");
    fresh.AirClass = "IL_2";
    fresh.Modes = 0x01;
    fresh.Weapons = {"", W("бомбы"), "x", std::string(255, 'w')};
    src.Aircrafts.push_back(fresh);
    src.Targets[1].Variants[1][0][3].PointX = -12345.25;
    src.Targets[1].Variants[1][0][3].PointY = 1e9;
    src.Targets[1].Variants[1][0][3].NightBlock = -2;
    src.Targets[1].Variants[1][0][3].StaticCameraBlock = -1;
    src.Targets[1].Variants[1][0][3].Reserved = 77;
    TDataFileLayout layout;
    WriteDataFile(dir.Path(), 0, src, &layout);

    const TRefData data = LoadRefData(dir.Path());
    EXPECT_TRUE(data.Warnings.empty());
    ASSERT_EQ(data.Maps.Count(), 1);
    EXPECT_EQ(data.Maps.Items[0].Name, W("Сталинград"));
    EXPECT_EQ(data.Maps.Items[0].Key, "stalingrad/load.ini");
    EXPECT_EQ(data.Maps.Items[0].TargetCount, 2);

    ASSERT_EQ(data.Aircrafts.Count(), 2);
    EXPECT_EQ(data.Aircrafts.Items[0].SpareText, "spare");
    EXPECT_EQ(data.Aircrafts.Items[0].Modes, 0b1101);
    EXPECT_EQ(data.Aircrafts.Items[1].Weapons, fresh.Weapons);  // file texts exactly, empty included
    EXPECT_EQ(data.Aircrafts.IndexOfClass("IL_2"), 1);
    EXPECT_EQ(data.Aircrafts.IndexOfClass("il_2"), -1);

    EXPECT_EQ(data.RouteOffsets[2][3].X, 3003.0);
    EXPECT_EQ(data.RouteOffsets[2][3].Y, -1502.0);

    ASSERT_EQ(data.Targets.Count(), 2);
    const TTarget& t = *data.Targets.Items[1];
    EXPECT_EQ(t.Name, W("Цель 2"));
    EXPECT_EQ(t.DataFile, 0);
    EXPECT_EQ(t.PictureOffset, layout.PictureOffsets[0]);
    const TVariantCell& c = t.Cell(1, 0, 3);
    EXPECT_EQ(c.PointX, -12345.25);
    EXPECT_EQ(c.PointY, 1e9);
    EXPECT_EQ(c.NightBlock, -2);
    EXPECT_EQ(c.Reserved, 77);
    EXPECT_FALSE(c.Defined());
    EXPECT_TRUE(t.Cell(1, 0, 2).Defined());
    EXPECT_EQ(t.Cell(0, 1, 1).ChiefsBlock, layout.BlockOffsets[0]);
}

}  // namespace
}  // namespace zelk
