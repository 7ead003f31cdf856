#include "data/refdata.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "data/codepage.h"
#include "data/datawriter.h"
#include "files/error.h"
#include "support/datafiles.h"
#include "support/tempdir.h"

namespace zelk {
namespace {

using test::FillCells;
using test::PrimarySource;
using test::ReadFileBytes;
using test::SimpleTarget;
using test::SupplementSource;
using test::TTempDir;
using test::WriteDataFile;
using test::WriteFileBytes;

std::vector<std::string> MapKeys(const TRefData& data) {
    std::vector<std::string> keys;
    for (const auto& m : data.Maps.Items) keys.push_back(m.Key);
    return keys;
}

void PatchInt32(std::string& bytes, std::int64_t at, std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) bytes[static_cast<std::size_t>(at) + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Position in the file of a block field k (0 Chiefs .. 8 Night) of cell n of
// the target record that starts at recordAt.
std::int64_t BlockFieldAt(const std::string& bytes, std::int64_t recordAt, int cell, int k) {
    const auto nameLen = static_cast<unsigned char>(bytes[static_cast<std::size_t>(recordAt)]);
    const auto keyAt = recordAt + 1 + nameLen;
    const auto keyLen = static_cast<unsigned char>(bytes[static_cast<std::size_t>(keyAt)]);
    const auto dataFileAt = keyAt + 1 + keyLen;
    return dataFileAt + 8 + cell * 56 + 16 + 4 * k;
}

std::int64_t DataFileFieldAt(const std::string& bytes, std::int64_t recordAt) {
    return BlockFieldAt(bytes, recordAt, 0, 0) - 8 - 16;
}

// ---------------------------------------------------------------- good files

TEST(RefDataLoad, PrimaryFileRoundTripsEveryField) {
    TTempDir dir;
    TDataFileSource src = PrimarySource(W("Сталинград"), "stalingrad/load.ini", 2);
    TAircraft second;
    second.Name = W("Ил-2");
    second.AirClass = "IL_2";
    second.Modes = 0x01;
    second.Weapons = {"", W("бомбы"), "x", std::string(255, 'w')};
    src.Aircrafts.push_back(second);
    TVariantCell& cell = src.Targets[1].Variants[1][0][3];
    cell.PointX = -12345.25;
    cell.PointY = 1e9;
    cell.NightBlock = -2;
    cell.ChiefsBlock = -1;
    cell.StaticCameraBlock = -1;
    cell.Reserved = 77;
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
    EXPECT_EQ(data.Aircrafts.Items[0].Weapons[1], "");  // an empty text stays empty, not "default"
    EXPECT_EQ(data.Aircrafts.Items[1].Weapons, second.Weapons);
    EXPECT_EQ(data.Aircrafts.IndexOfClass("IL_2"), 1);
    EXPECT_EQ(data.Aircrafts.IndexOfClass("il_2"), -1);

    EXPECT_EQ(data.RouteOffsets[0][0].X, 1000.0);
    EXPECT_EQ(data.RouteOffsets[2][3].X, 3003.0);
    EXPECT_EQ(data.RouteOffsets[2][3].Y, -1502.0);

    ASSERT_EQ(data.Targets.Count(), 2);
    const TTarget& t = *data.Targets.Items[1];
    EXPECT_EQ(t.Name, W("Цель 2"));
    EXPECT_EQ(t.MapKey, "stalingrad/load.ini");
    EXPECT_EQ(t.DataFile, 0);
    EXPECT_EQ(t.PictureOffset, layout.PictureOffsets[0]);
    // Cell number 11 = moving 1, difficulty 0, mode 3.
    const TVariantCell& c = t.Cell(1, 0, 3);
    EXPECT_EQ(c.PointX, -12345.25);
    EXPECT_EQ(c.PointY, 1e9);
    EXPECT_EQ(c.NightBlock, -2);
    EXPECT_EQ(c.ChiefsBlock, -1);
    EXPECT_EQ(c.Reserved, 77);
    EXPECT_FALSE(c.Defined());
    EXPECT_TRUE(t.Cell(1, 0, 2).Defined());
    EXPECT_EQ(t.Cell(0, 1, 1).HouseBlock, layout.BlockOffsets[0]);
}

TEST(RefDataLoad, FreshAircraftCarriesDefaultWeapons) {
    const TAircraft a;
    for (const auto& w : a.Weapons) EXPECT_EQ(w, "default");
    EXPECT_EQ(a.Modes, 0);
    EXPECT_TRUE(a.Name.empty() && a.SpareText.empty() && a.AirClass.empty());
    TAircraft b;
    b.Modes = 0b1010;
    EXPECT_FALSE(b.Allows(0));
    EXPECT_TRUE(b.Allows(1));
    EXPECT_TRUE(b.Allows(3));
    EXPECT_FALSE(b.Allows(8));
    EXPECT_FALSE(b.Allows(-1));
}

TEST(RefDataLoad, GapsInFileIndicesAndLoadOrder) {
    TTempDir dir;
    WriteDataFile(dir.Path(), 0, PrimarySource("A", "a", 1));
    WriteDataFile(dir.Path(), 3, SupplementSource(3, "C", "c", 2));
    WriteDataFile(dir.Path(), 7, SupplementSource(7, "G", "g", 1));
    const TRefData data = LoadRefData(dir.Path());
    EXPECT_TRUE(data.Warnings.empty());
    EXPECT_EQ(MapKeys(data), (std::vector<std::string>{"a", "c", "g"}));
    ASSERT_EQ(data.Targets.Count(), 4);
    EXPECT_EQ(data.Targets.Items[1]->MapKey, "c");
    EXPECT_EQ(data.Targets.Items[2]->DataFile, 3);
    EXPECT_EQ(data.Targets.Items[3]->DataFile, 7);
    EXPECT_EQ(data.Maps.Items[1].TargetCount, 2);
    EXPECT_EQ(data.DataFilePath(7), dir.Path() / "orvak_zelk.rc7");
}

TEST(RefDataLoad, MissingPrimaryFileThrowsEvenWhenOthersExist) {
    TTempDir dir;
    WriteDataFile(dir.Path(), 1, SupplementSource(1, "B", "b", 1));
    try {
        LoadRefData(dir.Path());
        FAIL() << "no error";
    } catch (const TFileError& e) {
        EXPECT_EQ(e.File().filename(), "orvak_zelk.rc0");
        EXPECT_EQ(e.Position(), TFileError::kNoPosition);
    }
}

TEST(RefDataLoad, FolderInPlaceOfADataFile) {
    TTempDir dir;
    WriteDataFile(dir.Path(), 0, PrimarySource("A", "a", 1));
    std::filesystem::create_directory(dir / "orvak_zelk.rc1");
    const TRefData data = LoadRefData(dir.Path());
    EXPECT_EQ(data.Maps.Count(), 1);
    ASSERT_EQ(data.Warnings.size(), 1u);
    EXPECT_NE(data.Warnings[0].find("orvak_zelk.rc1"), std::string::npos);

    std::filesystem::remove(dir / "orvak_zelk.rc0");
    std::filesystem::create_directory(dir / "orvak_zelk.rc0");
    EXPECT_THROW(LoadRefData(dir.Path()), TFileError);
}

TEST(RefDataLoad, MapWithoutTargetsIsRemoved) {
    TTempDir dir;
    // Only file 0, and its one target names another key: no map at all.
    TDataFileSource src = PrimarySource("A", "a", 1);
    src.Targets[0].MapKey = "nowhere";
    WriteDataFile(dir.Path(), 0, src);
    TRefData data = LoadRefData(dir.Path());
    EXPECT_EQ(data.Maps.Count(), 0);
    EXPECT_EQ(data.Targets.Count(), 1);
    EXPECT_EQ(data.Aircrafts.Count(), 1);

    // Keys compare byte for byte: case and blanks matter.
    src.Targets[0].MapKey = "A";
    src.Targets.push_back(SimpleTarget("t", "a ", 0));
    WriteDataFile(dir.Path(), 0, src);
    data = LoadRefData(dir.Path());
    EXPECT_EQ(data.Maps.Count(), 0);
}

TEST(RefDataLoad, TargetInAnotherFileCountsForFileZerosMap) {
    TTempDir dir;
    TDataFileLayout layout0;
    WriteDataFile(dir.Path(), 0, PrimarySource("A", "a", 1), &layout0);
    TDataFileSource second = SupplementSource(2, "B", "b", 1);
    second.Targets[0].MapKey = "a";  // lies on file 0's map, its blocks in file 2
    // And one whose picture and blocks lie in file 0.
    TDataFileSource::Target remote;
    remote.Name = "remote";
    remote.MapKey = "a";
    remote.DataFile = 0;
    remote.PictureOffset = static_cast<std::int32_t>(layout0.PictureOffsets[0]);
    remote.RawBlockOffsets = true;
    FillCells(remote, -2);
    remote.Variants[0][0][0].StaticCameraBlock = static_cast<std::int32_t>(layout0.BlockOffsets[0]);
    second.Targets.push_back(remote);
    WriteDataFile(dir.Path(), 2, second);

    const TRefData data = LoadRefData(dir.Path());
    EXPECT_TRUE(data.Warnings.empty());
    ASSERT_EQ(MapKeys(data), std::vector<std::string>{"a"});
    EXPECT_EQ(data.Maps.Items[0].TargetCount, 3);
    EXPECT_EQ(data.Maps.GetName("b"), "");
    const TTarget* t = data.Targets.SelectTarget("a", "remote");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->Cell(0, 0, 0).StaticCameraBlock, layout0.BlockOffsets[0]);
    EXPECT_EQ(t->Cell(0, 0, 1).StaticCameraBlock, -2);

    TDataFile file0(data.DataFilePath(t->DataFile));
    EXPECT_EQ(file0.ReadObjectBlock(t->Cell(0, 0, 0).StaticCameraBlock),
              (std::vector<std::string>{"  0_Chief Armor.1-BT7 1", "  1 2 3"}));
}

TEST(RefDataLoad, DuplicateMapKeysKeepBothMapsAndGetNameTakesTheLater) {
    TTempDir dir;
    WriteDataFile(dir.Path(), 0, PrimarySource("First", "same", 2));
    WriteDataFile(dir.Path(), 1, SupplementSource(1, "Second", "same", 1));
    const TRefData data = LoadRefData(dir.Path());
    ASSERT_EQ(data.Maps.Count(), 2);
    EXPECT_EQ(data.Maps.Items[0].TargetCount, 3);
    EXPECT_EQ(data.Maps.Items[1].TargetCount, 3);
    EXPECT_EQ(data.Maps.GetName("same"), "Second");
    EXPECT_EQ(data.Maps.GetName("Same"), "");
}

TEST(RefDataLoad, EmptyTargetNameAndTheNextRecordInPlace) {
    TTempDir dir;
    TDataFileSource src = PrimarySource("A", "a", 0);
    src.Targets.push_back(SimpleTarget("", "a", 0));
    TDataFileSource::Target next = SimpleTarget(W("Мост"), "a", 0);
    FillCells(next, -1, 5.5, 6.5);
    next.Variants[1][1][2].StaticCameraBlock = 0;
    src.Targets.push_back(next);
    WriteDataFile(dir.Path(), 0, src);

    const TRefData data = LoadRefData(dir.Path());
    ASSERT_EQ(data.Targets.Count(), 2);
    EXPECT_EQ(data.Targets.Items[0]->Name, "");
    EXPECT_EQ(data.Targets.Items[1]->Name, W("Мост"));
    EXPECT_EQ(data.Targets.Items[1]->Cell(1, 1, 3).PointY, 6.5);
    EXPECT_TRUE(data.Targets.Items[1]->Cell(1, 1, 2).Defined());
    EXPECT_FALSE(data.Targets.Items[1]->Cell(1, 1, 3).Defined());
    EXPECT_EQ(data.Targets.SelectTarget("a", ""), data.Targets.Items[0].get());
}

TEST(RefDataLookups, SelectMapAndSelectTarget) {
    TTargetsColl targets;
    const auto add = [&](const std::string& name, const std::string& key) {
        auto t = std::make_unique<TTarget>();
        t->Name = name;
        t->MapKey = key;
        targets.Items.push_back(std::move(t));
    };
    add("one", "k");
    add("two", "other");
    add("one", "k");  // duplicate: the first one wins
    add("three", "k");
    const auto onK = targets.SelectMap("k");
    ASSERT_EQ(onK.size(), 3u);
    EXPECT_EQ(onK[0], targets.Items[0].get());
    EXPECT_EQ(onK[1], targets.Items[2].get());
    EXPECT_EQ(onK[2], targets.Items[3].get());
    EXPECT_TRUE(targets.SelectMap("K").empty());
    EXPECT_EQ(targets.SelectTarget("k", "one"), targets.Items[0].get());
    EXPECT_EQ(targets.SelectTarget("other", "one"), nullptr);
    EXPECT_EQ(targets.SelectTarget("k", "one "), nullptr);

    TMapsColl maps;
    maps.Items = {{"M1", "k", 0}, {"M2", "x", 0}, {"M3", "k", 0}};
    maps.CountTarget("k");
    maps.CountTarget("k");
    maps.CountTarget("y");
    EXPECT_EQ(maps.Items[0].TargetCount, 2);
    EXPECT_EQ(maps.Items[1].TargetCount, 0);
    EXPECT_EQ(maps.Items[2].TargetCount, 2);
    EXPECT_EQ(maps.GetName("k"), "M3");
    EXPECT_EQ(maps.GetName("y"), "");
}

// ---------------------------------------------------------------- object blocks

TEST(ObjectBlocks, LinesEndAtBellAndTheBlockAtEot) {
    const std::string bytes =
        std::string("xx") + "first\x07" + "\x07" + "with\r\nbreak\x07" + "dropped\x04" + "after\x07\x04";
    EXPECT_EQ(ParseObjectBlock(bytes, 2, "f"), (std::vector<std::string>{"first", "", "with\r\nbreak"}));
    EXPECT_TRUE(ParseObjectBlock("\x04", 0, "f").empty());
    EXPECT_EQ(ParseObjectBlock(std::string("\x07\x04", 2), 0, "f"), std::vector<std::string>{""});
}

TEST(ObjectBlocks, FaultsNameFileAndPosition) {
    const std::string bytes =
        "abc\x07"
        "def";
    for (const std::int64_t offset : {std::int64_t{0}, std::int64_t{4}, std::int64_t{6}}) {
        try {
            ParseObjectBlock(bytes, offset, "blocks.bin");
            FAIL() << "no error at " << offset;
        } catch (const TFileError& e) {
            EXPECT_EQ(e.File(), "blocks.bin");
            EXPECT_EQ(e.Position(), offset);
        }
    }
    EXPECT_THROW(ParseObjectBlock(bytes, 7, "f"), TFileError);
    EXPECT_THROW(ParseObjectBlock(bytes, -1, "f"), TFileError);
    EXPECT_THROW(ParseObjectBlock("", 0, "f"), TFileError);
}

TEST(ObjectBlocks, ReadFromFileAcrossChunksAndAtTheEnd) {
    TTempDir dir;
    std::string longLine(10000, 'L');
    std::string bytes = "head" + longLine + "\x07" + "last\x07\x04" + "tail without end";
    WriteFileBytes(dir / "blocks", bytes);
    TDataFile file(dir / "blocks");
    EXPECT_EQ(file.Size(), bytes.size());
    EXPECT_EQ(file.ReadObjectBlock(4), (std::vector<std::string>{longLine, "last"}));
    EXPECT_EQ(file.ReadObjectBlock(0)[0], "head" + longLine);
    EXPECT_THROW(file.ReadObjectBlock(static_cast<std::int64_t>(bytes.size()) - 3), TFileError);
    EXPECT_THROW(file.ReadObjectBlock(static_cast<std::int64_t>(bytes.size())), TFileError);
    EXPECT_THROW(file.ReadObjectBlock(-2), TFileError);
    EXPECT_EQ(file.ReadAt(static_cast<std::int64_t>(bytes.size()) - 3, 100), "end");
    EXPECT_EQ(file.ReadAt(static_cast<std::int64_t>(bytes.size()) + 5, 10), "");
    EXPECT_THROW(TDataFile(dir / "absent"), TFileError);
}

// ---------------------------------------------------------------- broken files

class BrokenFile : public ::testing::Test {
protected:
    void SetUp() override {
        // The map name is padded until the table offset in the trailer holds
        // no 0x04 byte, so that a block pointed at the trailer never ends.
        for (std::string name = "A";; name += "A") {
            TDataFileSource src = PrimarySource(name, "a", 2);
            good_ = WriteDataFileBytes(src, layout_);
            if (good_.find('\x04', static_cast<std::size_t>(layout_.Trailer)) == std::string::npos) {
                aircraftCountAt_ = static_cast<std::int64_t>(1 + name.size() + 1 + 1);
                break;
            }
        }
    }

    // Loads the patched bytes as file 0 and returns the error.
    TFileError PrimaryError(const std::string& bytes) {
        TRefData into;
        try {
            ReadDataFile(bytes, 0, "orvak_zelk.rc0", into);
        } catch (const TFileError& e) {
            EXPECT_EQ(e.File(), "orvak_zelk.rc0");
            EXPECT_NE(std::string(e.what()).find("orvak_zelk.rc0"), std::string::npos);
            EXPECT_NE(std::string(e.what()).find(std::to_string(e.Position())), std::string::npos);
            // Nothing of a broken file is kept.
            EXPECT_EQ(into.Maps.Count(), 0);
            EXPECT_EQ(into.Targets.Count(), 0);
            EXPECT_EQ(into.Aircrafts.Count(), 0);
            return e;
        }
        ADD_FAILURE() << "the broken file was accepted";
        return TFileError("none", -1, "none");
    }

    std::int64_t Size() const { return static_cast<std::int64_t>(good_.size()); }

    std::string good_;
    TDataFileLayout layout_;
    std::int64_t aircraftCountAt_ = 0;
};

TEST_F(BrokenFile, CountPastTheEnd) {
    std::string bad = good_;
    const std::int64_t aircraftCountAt = aircraftCountAt_;
    PatchInt32(bad, aircraftCountAt, 1000);
    EXPECT_EQ(PrimaryError(bad).Position(), aircraftCountAt);
    PatchInt32(bad, aircraftCountAt, -1);
    EXPECT_EQ(PrimaryError(bad).Position(), aircraftCountAt);

    bad = good_;
    PatchInt32(bad, layout_.TargetTable, 3);
    EXPECT_EQ(PrimaryError(bad).Position(), layout_.TargetTable);
    PatchInt32(bad, layout_.TargetTable, 0x7FFFFFFF);  // checked before anything is allocated
    EXPECT_EQ(PrimaryError(bad).Position(), layout_.TargetTable);
}

// The file cut at `length` and given a trailer that still points at the table.
std::string CutKeepingTrailer(const std::string& good, std::size_t length, std::int64_t table) {
    std::string bytes = good.substr(0, length) + std::string(4, '\0');
    PatchInt32(bytes, static_cast<std::int64_t>(length), static_cast<std::int32_t>(table));
    return bytes;
}

TEST_F(BrokenFile, TextLengthPastTheEnd) {
    // The map key runs past the end.
    EXPECT_EQ(PrimaryError(std::string("\x01"
                                       "A\x20"
                                       "ab\0\0\0\0",
                                       8))
                  .Position(),
              2);
    // The only aircraft's name runs past the trailer.
    std::string bytes = std::string(
                            "\x01"
                            "A\x01"
                            "a") +
                        std::string(4, '\0') +
                        "\x20"
                        "Il2abcde" +
                        std::string(4, '\0');
    PatchInt32(bytes, 4, 1);
    EXPECT_EQ(PrimaryError(bytes).Position(), 8);
    // A target's texts cannot run past the end once its count has been
    // checked against the 906 bytes a record needs at least; a cut record
    // is then reported at its count.
    const auto lastRecord = static_cast<std::size_t>(layout_.TargetRecords.back());
    EXPECT_EQ(PrimaryError(CutKeepingTrailer(good_, lastRecord + 3, layout_.TargetTable)).Position(),
              layout_.TargetTable);
}

TEST_F(BrokenFile, EveryCutInsideTheTargetTableIsReported) {
    for (auto length = static_cast<std::size_t>(layout_.TargetTable + 4); length < good_.size() - 4; ++length) {
        const TFileError e = PrimaryError(CutKeepingTrailer(good_, length, layout_.TargetTable));
        EXPECT_GE(e.Position(), layout_.TargetTable);
        EXPECT_LE(e.Position(), static_cast<std::int64_t>(length));
    }
}

TEST_F(BrokenFile, TrailerOutsideTheFile) {
    for (const std::int32_t table : {static_cast<std::int32_t>(Size()), static_cast<std::int32_t>(Size() - 4),
                                     static_cast<std::int32_t>(Size() - 7), -1, 0x7FFFFFFF}) {
        std::string bad = good_;
        PatchInt32(bad, layout_.Trailer, table);
        EXPECT_EQ(PrimaryError(bad).Position(), layout_.Trailer) << table;
    }
    EXPECT_EQ(PrimaryError("abc").Position(), 0);
    EXPECT_EQ(PrimaryError("").Position(), 0);
}

TEST_F(BrokenFile, BlockOffsetBelowMinusTwoOrPastTheEnd) {
    const std::int64_t field = BlockFieldAt(good_, layout_.TargetRecords[1], 13, 8);
    for (const std::int32_t value : {-3, static_cast<std::int32_t>(Size()), 0x7FFFFFFF, -0x7FFFFFFF - 1}) {
        std::string bad = good_;
        PatchInt32(bad, field, value);
        EXPECT_EQ(PrimaryError(bad).Position(), field) << value;
    }
    // -1 and -2 are fine anywhere.
    for (const std::int32_t value : {-1, -2}) {
        std::string ok = good_;
        PatchInt32(ok, field, value);
        TRefData into;
        ReadDataFile(ok, 0, "f", into);
        EXPECT_EQ(into.Targets.Items[1]->Cell(1, 1, 1).NightBlock, value);
    }
}

TEST_F(BrokenFile, BlockWithoutItsEnd) {
    // A block offset pointing at the trailer: nothing after it holds 0x04.
    ASSERT_EQ(good_.find('\x04', static_cast<std::size_t>(layout_.Trailer)), std::string::npos);
    std::string bad = good_;
    const std::int64_t field = BlockFieldAt(good_, layout_.TargetRecords[0], 0, 4);
    PatchInt32(bad, field, static_cast<std::int32_t>(layout_.Trailer));
    const TFileError e = PrimaryError(bad);
    EXPECT_EQ(e.Position(), field);
    EXPECT_NE(e.Reason().find("0x04"), std::string::npos);
}

TEST_F(BrokenFile, PictureThatIsNoJpeg) {
    const std::int64_t pictureField = DataFileFieldAt(good_, layout_.TargetRecords[0]) + 4;
    std::string bad = good_;
    bad[static_cast<std::size_t>(layout_.PictureOffsets[0])] = 'X';
    EXPECT_EQ(PrimaryError(bad).Position(), pictureField);
    bad = good_;
    PatchInt32(bad, pictureField, static_cast<std::int32_t>(layout_.BlockOffsets[0]));
    EXPECT_EQ(PrimaryError(bad).Position(), pictureField);
    PatchInt32(bad, pictureField, static_cast<std::int32_t>(Size() - 1));
    EXPECT_EQ(PrimaryError(bad).Position(), pictureField);
    PatchInt32(bad, pictureField, -5);
    EXPECT_EQ(PrimaryError(bad).Position(), pictureField);
}

TEST_F(BrokenFile, DataFileIndexOutOfRange) {
    const std::int64_t field = DataFileFieldAt(good_, layout_.TargetRecords[1]);
    for (const std::int32_t value : {10, -1}) {
        std::string bad = good_;
        PatchInt32(bad, field, value);
        EXPECT_EQ(PrimaryError(bad).Position(), field);
    }
}

TEST_F(BrokenFile, EveryTruncationIsReportedOrReadWithinTheFile) {
    // Cut anywhere, the last four bytes become an arbitrary table offset:
    // mostly a fault, sometimes an empty table found in the middle of the
    // file. Either way nothing outside the file is read.
    int faults = 0;
    for (std::size_t length = 0; length < good_.size(); ++length) {
        TRefData into;
        try {
            ReadDataFile(std::string_view(good_).substr(0, length), 0, "cut", into);
            EXPECT_EQ(into.Targets.Count(), 0) << length;
        } catch (const TFileError& e) {
            ++faults;
            EXPECT_GE(e.Position(), 0);
            EXPECT_LE(e.Position(), static_cast<std::int64_t>(length));
        }
    }
    EXPECT_GT(faults, static_cast<int>(good_.size()) * 9 / 10);
}

TEST_F(BrokenFile, BrokenSupplementIsLeftOutWholeAndNamedOnce) {
    TTempDir dir;
    WriteDataFile(dir.Path(), 0, PrimarySource("A", "a", 1));
    WriteDataFile(dir.Path(), 1, SupplementSource(1, "B", "b", 1));
    // File 2 is good in itself, but one of its targets also lies on map "a".
    TDataFileSource two = SupplementSource(2, "C", "c", 2);
    two.Targets[1].MapKey = "a";
    TDataFileLayout layout2;
    std::string bytes = WriteDataFileBytes(two, layout2);
    PatchInt32(bytes, layout2.TargetTable, 50);
    WriteFileBytes(dir / "orvak_zelk.rc2", bytes);
    WriteDataFile(dir.Path(), 3, SupplementSource(3, "D", "d", 1));

    const TRefData data = LoadRefData(dir.Path());
    EXPECT_EQ(MapKeys(data), (std::vector<std::string>{"a", "b", "d"}));
    EXPECT_EQ(data.Maps.Items[0].TargetCount, 1);
    EXPECT_EQ(data.Targets.Count(), 3);
    ASSERT_EQ(data.Warnings.size(), 1u);
    EXPECT_NE(data.Warnings[0].find("orvak_zelk.rc2"), std::string::npos);
    EXPECT_NE(data.Warnings[0].find(std::to_string(layout2.TargetTable)), std::string::npos);

    // The same fault in file 0 stops the load.
    std::string primary = ReadFileBytes(dir / "orvak_zelk.rc0");
    primary.resize(primary.size() - 1);
    WriteFileBytes(dir / "orvak_zelk.rc0", primary);
    EXPECT_THROW(LoadRefData(dir.Path()), TFileError);
}

TEST_F(BrokenFile, ReferenceToAMissingFileIsTheHoldersFault) {
    TTempDir dir;
    WriteDataFile(dir.Path(), 0, PrimarySource("A", "a", 1));
    TDataFileSource one = SupplementSource(1, "B", "b", 2);
    one.Targets[1].DataFile = 4;
    TDataFileLayout layout1;
    const auto path1 = WriteDataFile(dir.Path(), 1, one, &layout1);
    const std::string bytes1 = ReadFileBytes(path1);

    // Only the target that needs the missing file is left out.
    TRefData data = LoadRefData(dir.Path());
    EXPECT_EQ(MapKeys(data), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(data.Targets.Count(), 2);
    ASSERT_EQ(data.Warnings.size(), 1u);
    EXPECT_NE(data.Warnings[0].find("orvak_zelk.rc1"), std::string::npos);
    EXPECT_NE(data.Warnings[0].find(Cp1251ToUtf8(one.Targets[1].Name)), std::string::npos);
    EXPECT_NE(data.Warnings[0].find(std::to_string(DataFileFieldAt(bytes1, layout1.TargetRecords[1]))),
              std::string::npos);

    // With file 4 present the reference is checked against it: its picture
    // offset there holds no JPEG image.
    // (its map name is longer, so its layout differs from file 1's)
    WriteDataFile(dir.Path(), 4, SupplementSource(4, "E with a longer name", "e", 1));
    data = LoadRefData(dir.Path());
    ASSERT_EQ(data.Warnings.size(), 1u);
    EXPECT_NE(data.Warnings[0].find("orvak_zelk.rc1"), std::string::npos);
    EXPECT_NE(data.Warnings[0].find("JPEG"), std::string::npos);

    // So is a target of file 0 whose blocks lie in a missing file (or one
    // that cannot be opened): file 0 and its other targets still load.
    TDataFileSource zero = PrimarySource("A", "a", 3);
    zero.Targets[0].DataFile = 9;
    zero.Targets[2].DataFile = 8;
    WriteDataFile(dir.Path(), 0, zero);
    std::filesystem::create_directory(dir / "orvak_zelk.rc8");
    data = LoadRefData(dir.Path());
    ASSERT_EQ(data.Warnings.size(), 4u);  // rc8 itself, two targets, and file 1's as before
    EXPECT_EQ(data.Targets.SelectMap("a").size(), 1u);
    EXPECT_NE(data.Targets.SelectTarget("a", zero.Targets[1].Name), nullptr);
    for (const std::size_t i : {0u, 2u}) {
        const std::string name = "«" + Cp1251ToUtf8(zero.Targets[i].Name) + "»";
        EXPECT_EQ(std::count_if(data.Warnings.begin(), data.Warnings.end(),
                                [&](const std::string& w) {
                                    return w.find(name) != std::string::npos &&
                                           w.find("orvak_zelk.rc0") != std::string::npos;
                                }),
                  1)
            << name;
    }
}

}  // namespace
}  // namespace zelk
