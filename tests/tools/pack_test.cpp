// zelk-pack: the block text escape, the manifest, build/dump round trips,
// check on broken files, and the demo data set. Runs the real program from
// ZELK_BIN_DIR and calls its library directly where that is simpler.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <set>

#include <gtest/gtest.h>

#include "blocktext.h"
#include "check.h"
#include "data/catalogues.h"
#include "data/codepage.h"
#include "data/datawriter.h"
#include "files/error.h"
#include "data/picture.h"
#include "data/refdata.h"
#include "source.h"
#include "support/datafiles.h"
#include "support/process.h"
#include "support/tempdir.h"

namespace zelk::pack {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::TTempDir;
using test::WriteFileBytes;

const fs::path kDemoSource = fs::path(ZELK_SOURCE_DIR) / "demo" / "source";

struct TRun {
    int Code = -1;
    std::string Out;
    std::string Err;
};

// Runs zelk-pack with its output in files, so nothing can block on a pipe.
TRun RunPack(const std::vector<std::string>& args) {
    TTempDir io;
    const fs::path out = io / "out", err = io / "err";
    TRun run;
    run.Code = test::RunToFiles(fs::path(ZELK_BIN_DIR) / "zelk-pack", args, out, err);
    run.Out = ReadFileBytes(out);
    run.Err = ReadFileBytes(err);
    if (run.Code == test::kTimedOut) run.Err += "\nzelk-pack did not end within 120 s and was killed";
    test::DropCarriageReturns(run.Out);
    test::DropCarriageReturns(run.Err);
    return run;
}

int LineCount(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

void PutInt32(std::string& bytes, std::int64_t pos, std::int32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[static_cast<std::size_t>(pos + i)] =
            static_cast<char>((static_cast<std::uint32_t>(value) >> (8 * i)) & 0xFF);
}

std::string Int32Bytes(std::int32_t value) {
    std::string b(4, '\0');
    PutInt32(b, 0, value);
    return b;
}

// The folder's files as name -> bytes, for comparing whole folders.
std::map<std::string, std::string> FolderFiles(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        if (e.is_regular_file()) files[fs::relative(e.path(), dir).string()] = ReadFileBytes(e.path());
    return files;
}

// "Same records, blocks and pictures": both files read as the program reads
// them, every block and picture compared by content, not by offset.
void ExpectSameContent(const std::string& a, const std::string& b, int index) {
    TRefData da, db;
    ReadDataFile(a, index, "a", da);
    ReadDataFile(b, index, "b", db);
    EXPECT_EQ(da.Maps.Items[0].Name, db.Maps.Items[0].Name);
    EXPECT_EQ(da.Maps.Items[0].Key, db.Maps.Items[0].Key);
    ASSERT_EQ(da.Aircrafts.Count(), db.Aircrafts.Count());
    for (int i = 0; i < da.Aircrafts.Count(); ++i) {
        const auto &x = da.Aircrafts.Items[i], &y = db.Aircrafts.Items[i];
        EXPECT_EQ(std::tie(x.Name, x.SpareText, x.AirClass, x.Modes, x.Weapons),
                  std::tie(y.Name, y.SpareText, y.AirClass, y.Modes, y.Weapons));
    }
    EXPECT_EQ(0, std::memcmp(&da.RouteOffsets, &db.RouteOffsets, sizeof da.RouteOffsets));
    ASSERT_EQ(da.Targets.Count(), db.Targets.Count());
    for (int i = 0; i < da.Targets.Count(); ++i) {
        const TTarget &x = *da.Targets.Items[i], &y = *db.Targets.Items[i];
        SCOPED_TRACE(Cp1251ToUtf8(x.Name));
        EXPECT_EQ(std::tie(x.Name, x.MapKey, x.DataFile), std::tie(y.Name, y.MapKey, y.DataFile));
        const bool own = x.DataFile == index;
        if (own)
            EXPECT_EQ(a.substr(x.PictureOffset, JpegLength(a, x.PictureOffset, "a")),
                      b.substr(y.PictureOffset, JpegLength(b, y.PictureOffset, "b")));
        else
            EXPECT_EQ(x.PictureOffset, y.PictureOffset);
        for (int n = 0; n < 16; ++n) {
            const TVariantCell &cx = x.Variants[n / 8][(n / 4) % 2][n % 4], &cy = y.Variants[n / 8][(n / 4) % 2][n % 4];
            EXPECT_EQ(0, std::memcmp(&cx.PointX, &cy.PointX, 16)) << "cell " << n;
            EXPECT_EQ(cx.Reserved, cy.Reserved);
            const std::int32_t fx[] = {cx.ChiefsBlock, cx.NStationaryBlock,  cx.BuildingsBlock,
                                       cx.TargetBlock, cx.StaticCameraBlock, cx.BridgeBlock,
                                       cx.HouseBlock,  cx.FrontMarkerBlock,  cx.NightBlock};
            const std::int32_t fy[] = {cy.ChiefsBlock, cy.NStationaryBlock,  cy.BuildingsBlock,
                                       cy.TargetBlock, cy.StaticCameraBlock, cy.BridgeBlock,
                                       cy.HouseBlock,  cy.FrontMarkerBlock,  cy.NightBlock};
            for (int k = 0; k < 9; ++k) {
                if (fx[k] < 0 || !own) {
                    EXPECT_EQ(fx[k], fy[k]) << "cell " << n << " field " << k;
                } else {
                    ASSERT_GE(fy[k], 0);
                    EXPECT_EQ(ParseObjectBlock(a, fx[k], "a"), ParseObjectBlock(b, fy[k], "b"));
                }
            }
        }
    }
}

// The demo built once for the whole suite.
class PackDemo : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = std::make_unique<TTempDir>();
        const TRun run = RunPack({"build", kDemoSource.string(), (*dir_ / "data").string()});
        ASSERT_EQ(run.Code, 0) << run.Err;
    }
    static void TearDownTestSuite() { dir_.reset(); }
    static fs::path Data() { return *dir_ / "data"; }

    static std::unique_ptr<TTempDir> dir_;
};
std::unique_ptr<TTempDir> PackDemo::dir_;

// ------------------------------------------------------------ block text

TEST(PackBlockText, EscapesWhatATextLineCannotHoldAndReadsItBack) {
    const std::string line = W("  Шёл «поезд»") + "\tC:\\path\r\n\x01\x7F\x98 end ";
    const std::string text = EscapeBlockLine(line);
    EXPECT_EQ(text, "  Шёл «поезд»\\tC:\\\\path\\r\\n\\x01\\x7F\\x98 end\\x20");
    std::string back, reason;
    std::size_t column = 0;
    ASSERT_TRUE(UnescapeBlockLine(text, back, reason, column)) << reason;
    EXPECT_EQ(back, line);

    // Every byte a line can hold survives the text form.
    std::string all;
    for (int b = 1; b < 256; ++b)
        if (b != 0x07 && b != 0x04) all += static_cast<char>(b);
    all += '\0';
    const std::string allText = EscapeBlockLine(all);
    EXPECT_EQ(allText.find_first_of("\r\n"), std::string::npos);
    ASSERT_TRUE(UnescapeBlockLine(allText, back, reason, column)) << reason;
    EXPECT_EQ(back, all);
    // Hex digits in either case.
    ASSERT_TRUE(UnescapeBlockLine("\\x1b\\x1B", back, reason, column));
    EXPECT_EQ(back, "\x1b\x1b");
}

TEST(PackBlockText, ReadsTextFilesAsEditorsLeaveThem) {
    const fs::path f = "b.txt";
    EXPECT_TRUE(BlockFromText("", f).empty());
    EXPECT_EQ(BlockFromText("\n", f), std::vector<std::string>{""});
    EXPECT_EQ(BlockFromText("\xEF\xBB\xBF"
                            "a\r\nb\r\n",
                            f),
              (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(BlockFromText("a\nlast", f), (std::vector<std::string>{"a", "last"}));
    EXPECT_EQ(BlockFromText("a\\r\n", f), std::vector<std::string>{"a\r"});
    const std::vector<std::string> lines{"x", "", W("Танк %t"), "trailing  ", "cr\r\nlf"};
    EXPECT_EQ(BlockFromText(BlockToText(lines), f), lines);
}

TEST(PackBlockText, RejectsBrokenTextWithLineAndBytePosition) {
    struct Case {
        std::string Text;
        std::int64_t Position;
        std::string Reason;
    };
    const Case cases[] = {
        {"ok\nbad \\q\n", 7, "строка 2: неизвестная последовательность «\\q»"},
        {"ends in \\", 8, "строка 1: строка кончается одиночной"},
        {"a\n\\x4\n", 2, "строка 2: после «\\x» нужны две"},
        {"\\x07 bell", 0, "0x07 и 0x04"},
        {"raw\x04", 0, "0x07 и 0x04"},
        {"a\rb\n", 1, "строка 1: символ CR"},
        {"ok\n中文\n", 3, "строка 2: не UTF-8 или символ"},
        {"\xC3\x28\n", 0, "не UTF-8"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        try {
            BlockFromText(c.Text, "blocks/x.txt");
            ADD_FAILURE() << "accepted";
        } catch (const TFileError& e) {
            EXPECT_EQ(e.File(), fs::path("blocks/x.txt"));
            EXPECT_EQ(e.Position(), c.Position);
            EXPECT_NE(std::string(e.what()).find(c.Reason), std::string::npos) << e.what();
        }
    }
}

// ------------------------------------------------------------ manifest

// A small source folder: one map in file 2, one block, one picture.
class PackManifest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir_ / "blocks");
        fs::create_directories(dir_ / "pictures");
        WriteFileBytes(dir_ / "blocks" / "a.txt", "  0_Chief Armor.%p %a\n");
        WriteFileBytes(dir_ / "pictures" / "p.jpg", test::TinyJpeg());
    }

    std::string Build(const std::string& manifest) {
        WriteFileBytes(dir_ / "manifest.toml", manifest);
        try {
            BuildDataFiles(dir_.Path());
        } catch (const TFileError& e) {
            return e.what();
        }
        return "";
    }

    static std::string Manifest(const std::string& map, const std::string& target, const std::string& cell) {
        return "[[map]]\n" + map + "\n[[target]]\n" + target + "\n[[target.cell]]\n" + cell + "\n";
    }
    static constexpr const char* kMap = "file = 2\nname = \"Карта\"\nkey = \"m/load.ini\"";
    static constexpr const char* kTarget = "name = \"Цель\"\npicture = \"p.jpg\"";
    static constexpr const char* kCell =
        "moving = 0\ndifficulty = 0\nmode = 0\npoint = [1, 2]\nstatic_camera = \"a.txt\"";

    TTempDir dir_;
};

TEST_F(PackManifest, BuildsASmallSourceAndFillsDefaults) {
    ASSERT_EQ(Build(Manifest(kMap, kTarget,
                             "moving = [0, 1]\ndifficulty = 1\nmode = [1, 3]\npoint = [1.5, -2]\n"
                             "chiefs = -2\nstatic_camera = \"a.txt\"\nreserved = 7")),
              "");
    const TBuildResult built = BuildDataFiles(dir_.Path());
    ASSERT_EQ(built.Files.size(), 1u);
    TRefData data;
    ReadDataFile(built.Files.at(2), 2, "f", data);
    ASSERT_EQ(data.Targets.Count(), 1);
    const TTarget& t = *data.Targets.Items[0];
    EXPECT_EQ(t.MapKey, "m/load.ini");  // the file's own map when left out
    EXPECT_EQ(t.DataFile, 2);
    for (int n = 0; n < 16; ++n) {
        const int mv = n / 8, df = (n / 4) % 2, md = n % 4;
        const TVariantCell& c = t.Variants[mv][df][md];
        const bool given = df == 1 && (md == 1 || md == 3);
        SCOPED_TRACE(n);
        EXPECT_EQ(c.Defined(), given);
        EXPECT_EQ(c.ChiefsBlock, given ? -2 : -1);
        EXPECT_EQ(c.BuildingsBlock, -1);
        EXPECT_EQ(c.Reserved, given ? 7 : -1);
        EXPECT_EQ(c.PointX, given ? 1.5 : 0.0);
        if (given) {
            EXPECT_EQ(ParseObjectBlock(built.Files.at(2), c.StaticCameraBlock, "f"),
                      std::vector<std::string>{"  0_Chief Armor.%p %a"});
        }
    }
}

TEST_F(PackManifest, NamesTheLineOrFileOfEveryMistake) {
    const std::string longName(256, 'x');
    struct Case {
        const char* What;
        std::string Manifest;
        std::string Expected;
    };
    const Case cases[] = {
        {"syntax", "[[map]\n", "ошибка синтаксиса TOML"},
        {"no map", "[[target]]\nname = \"x\"\n", "нет ни одной карты"},
        {"misspelt key", Manifest(kMap, kTarget, std::string(kCell) + "\nchefs = -1"),
         "строка 14, столбец 1: ячейка: неизвестный ключ «chefs»"},
        {"missing block file", Manifest(kMap, kTarget, std::string(kCell) + "\nchiefs = \"none.txt\""),
         "нет файла блока"},
        {"path outside the folder", Manifest(kMap, kTarget, std::string(kCell) + "\nchiefs = \"../manifest.toml\""),
         "не простое имя файла"},
        {"offset for an own block", Manifest(kMap, kTarget, std::string(kCell) + "\nchiefs = 120"),
         "задаётся именем файла"},
        {"offset below -2", Manifest(kMap, kTarget, std::string(kCell) + "\nchiefs = -3"), "-3 вне -2.."},
        {"point bits too short",
         Manifest(kMap, kTarget, "moving = 0\ndifficulty = 0\nmode = 0\npoint = [\"0x7FF8\", 0]"),
         "point: нужно число"},
        {"cell twice by list",
         Manifest(kMap, kTarget, kCell) +
             "[[target.cell]]\nmoving = 0\ndifficulty = [0, 1]\nmode = 0\npoint = [0, 0]\n",
         "задана дважды"},
        {"aircraft without file 0",
         Manifest(kMap, kTarget, kCell) + "[[aircraft]]\nname = \"a\"\nclass = \"b\"\nmodes = [0]\n", "только файл 0"},
        {"file 0 without routes", Manifest("file = 0\nname = \"a\"\nkey = \"b\"", kTarget, kCell), "route_offsets"},
        {"long name", Manifest(kMap, "name = \"" + longName + "\"\npicture = \"p.jpg\"", kCell), "длиннее 255 байт"},
        {"no such character", Manifest(kMap, "name = \"中\"\npicture = \"p.jpg\"", kCell),
         "нет в кодировке Windows-1251"},
        // Cyrillic where the parser asks for blanks comes back as written.
        {"letter after a value", "map = 1 Ж\n", "строка 1, столбец 9: ошибка синтаксиса TOML"},
        {"Cyrillic key", "\"Ключ\" = 1\n", "строка 1, столбец 1: описание: неизвестный ключ «Ключ»"},
        {"name after a line-ending backslash",
         Manifest(kMap, kTarget, std::string(kCell) + "\nchiefs = \"\"\"\\\n  Кар/та\"\"\""),
         "«Кар/та» — не простое имя файла"},
        {"private use character", "# \xEE\x80\x80\n", "строка 1, столбец 3: символ U+E000"},
        {"private use character as an escape", "a = \"x\\uE370\"\n", "строка 1, столбец 7: символ U+E370"},
        {"record file not described", Manifest(kMap, std::string(kTarget) + "\nfile = 5", kCell), "не описан картой"},
        {"offset for a built file's picture", Manifest(kMap, "name = \"x\"\npicture_offset = 5", kCell),
         "ключом picture"},
        {"block name for another file",
         Manifest(kMap, std::string("name = \"x\"\ndata_file = 4\npicture_offset = 0"), std::string(kCell)),
         "здесь не собирается"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        const std::string error = Build(c.Manifest);
        EXPECT_NE(error.find(c.Expected), std::string::npos) << error;
        EXPECT_NE(error.find("manifest.toml"), std::string::npos) << error;
    }

    // Faults inside a block or picture file name that file.
    WriteFileBytes(dir_ / "blocks" / "a.txt", "ok\nbad\\z\n");
    std::string error = Build(Manifest(kMap, kTarget, kCell));
    EXPECT_NE(error.find("a.txt»"), std::string::npos) << error;
    EXPECT_NE(error.find("строка 2"), std::string::npos) << error;
    WriteFileBytes(dir_ / "blocks" / "a.txt", "ok\n");
    WriteFileBytes(dir_ / "pictures" / "p.jpg", "GIF89a not a jpeg");
    error = Build(Manifest(kMap, kTarget, kCell));
    EXPECT_NE(error.find("p.jpg»"), std::string::npos) << error;
}

// ------------------------------------------------------------ round trips

TEST_F(PackDemo, BuildDumpBuildGivesTheSameBytes) {
    TTempDir work;
    int files = 0;
    for (const auto& entry : fs::directory_iterator(Data())) {
        const fs::path file = entry.path();
        const int index = DataFileIndexFromName(file);
        SCOPED_TRACE(file.filename().string());
        const fs::path source = work / ("src" + std::to_string(index));
        const fs::path again = work / ("out" + std::to_string(index));
        TRun run = RunPack({"dump", file.string(), source.string()});
        ASSERT_EQ(run.Code, 0) << run.Err;
        run = RunPack({"build", source.string(), again.string()});
        ASSERT_EQ(run.Code, 0) << run.Err;
        const std::string original = ReadFileBytes(file);
        const std::string rebuilt = ReadFileBytes(again / file.filename());
        EXPECT_TRUE(original == rebuilt) << "the rebuilt file differs";
        ExpectSameContent(original, rebuilt, index);
        // And the dump of the rebuilt file is the same folder.
        run =
            RunPack({"dump", (again / file.filename()).string(), (work / ("again" + std::to_string(index))).string()});
        ASSERT_EQ(run.Code, 0) << run.Err;
        EXPECT_EQ(FolderFiles(source), FolderFiles(work / ("again" + std::to_string(index))));
        ++files;
    }
    EXPECT_EQ(files, 3);
}

// Texts and numbers at their edges: a byte with no character, quotes and
// backslashes, empty texts, negative zero, infinity and NaNs, a block line with
// every byte a line may hold, an empty block, a cell with only Reserved set.
TEST(PackRoundTrip, OddTextsAndNumbersSurviveDumpAndBuild) {
    TDataFileSource s = test::PrimarySource(W("Карта ") + "\x98\"q\" \\ end", "k\\e\ty", 1);
    s.Aircrafts.push_back(TAircraft{});
    s.Aircrafts.back().Weapons = {"", "", "", ""};
    s.Aircrafts.back().Modes = 0xF1;
    s.RouteOffsets[0][0] = {-0.0, 1e-300};
    s.RouteOffsets[1][2] = {std::numeric_limits<double>::infinity(), 0.1};
    // NaNs keep their sign and payload, which TOML's nan would lose.
    const auto nan = [](std::uint64_t bits) {
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    };
    s.RouteOffsets[3][1] = {nan(0xFFFFFFFF00000000), nan(0x7FF0000000000001)};
    std::string all;
    for (int b = 0; b < 256; ++b)
        if (b != 0x07 && b != 0x04) all += static_cast<char>(b);
    s.Blocks.push_back({all, "", "end with space ", "\r\n"});
    s.Blocks.push_back({});
    auto& t = s.Targets[0];
    t.Variants[0][0][0].ChiefsBlock = 1;
    t.Variants[0][0][1].NightBlock = 2;
    t.Variants[0][1][0] = TVariantCell{};
    t.Variants[0][1][0].Reserved = 12345;
    t.Variants[0][1][1].PointY = nan(0xFFFDA78000000000);
    t.Variants[1][1][3] = TVariantCell{};
    const std::string original = WriteDataFileBytes(s);

    const TSourceFolder folder = DumpDataFile(original, 0, "orvak_zelk.rc0");
    TTempDir dir;
    WriteSourceFolder(folder, dir / "src");
    const TBuildResult built = BuildDataFiles(dir / "src");
    ASSERT_EQ(built.Files.count(0), 1u);
    EXPECT_TRUE(built.Files.at(0) == original);
    ExpectSameContent(original, built.Files.at(0), 0);
}

// A file laid out by another writer (here a stray unreadable picture among
// the stored items) cannot be walked: the dump keeps what the targets refer
// to, and the build gives the same records, blocks and pictures.
TEST(PackRoundTrip, ForeignLayoutKeepsTheContent) {
    TDataFileSource s = test::SupplementSource(4, "Map", "m/load.ini", 2);
    s.Blocks.push_back({"second", "block"});
    s.Pictures.push_back(std::string("\xFF\xD8", 2) + "not a picture");
    s.Targets[1].Variants[1][0][2].HouseBlock = 1;
    const std::string original = WriteDataFileBytes(s);

    TTempDir dir;
    WriteSourceFolder(DumpDataFile(original, 4, "orvak_zelk.rc4"), dir / "src");
    const TBuildResult built = BuildDataFiles(dir / "src");
    ExpectSameContent(original, built.Files.at(4), 4);
    EXPECT_LT(built.Files.at(4).size(), original.size());  // the stray bytes are gone
}

// A picture whose segments are whole but whose Huffman table is bogus: the
// program loads the file, but the build would refuse the dumped picture, so
// the dump refuses it first and names the picture's place.
TEST(PackRoundTrip, APictureThatDoesNotDecodeIsNotDumped) {
    TDataFileSource s = test::SupplementSource(5, "Map", "m/load.ini", 1);
    std::string& picture = s.Pictures[0];
    const std::size_t dht = picture.find("\xFF\xC4");
    ASSERT_NE(dht, std::string::npos);
    for (std::size_t i = dht + 5; i < dht + 21; ++i) picture[i] = '\xFF';  // 16 code counts
    TDataFileLayout layout;
    const std::string bytes = WriteDataFileBytes(s, layout);
    TRefData data;
    ASSERT_NO_THROW(ReadDataFile(bytes, 5, "orvak_zelk.rc5", data));
    try {
        DumpDataFile(bytes, 5, "orvak_zelk.rc5");
        ADD_FAILURE() << "dumped";
    } catch (const TFileError& e) {
        EXPECT_EQ(e.File(), fs::path("orvak_zelk.rc5"));
        EXPECT_EQ(e.Position(), layout.PictureOffsets[0]);
        EXPECT_NE(std::string(e.what()).find("JPEG"), std::string::npos) << e.what();
    }
}

// ------------------------------------------------------------ check

// A good primary file with two targets and where its parts lie.
struct TGoodFile {
    TDataFileSource Source = test::PrimarySource("Map", "m/load.ini", 3);
    TDataFileLayout Layout;
    std::string Bytes;

    TGoodFile() {
        // A spare block moves the target table until its offset holds no
        // byte 0x04, so a block running into the trailer finds no end there.
        Source.Blocks.push_back({});
        for (;;) {
            Bytes = WriteDataFileBytes(Source, Layout);
            if (Int32Bytes(static_cast<std::int32_t>(Layout.TargetTable)).find('\x04') == std::string::npos) break;
            Source.Blocks.back().push_back("pad");
        }
    }

    std::int64_t DataFileAt(int target) const {
        const auto& t = Source.Targets[static_cast<std::size_t>(target)];
        return Layout.TargetRecords[static_cast<std::size_t>(target)] + 2 +
               static_cast<std::int64_t>(t.Name.size() + t.MapKey.size());
    }
    std::int64_t FieldAt(int target, int cell, int field) const {
        return DataFileAt(target) + 8 + cell * 56 + 16 + 4 * field;
    }
};

std::vector<TFileError> CheckBytes(const TTempDir& dir, const std::string& bytes, int index = 0) {
    const fs::path file = dir / DataFileName(index);
    WriteFileBytes(file, bytes);
    const auto reports = CheckDataFiles({file});
    return reports.at(0).Faults;
}

TEST(PackCheck, NamesThePositionOfEachKindOfFault) {
    const TGoodFile good;
    const auto size = static_cast<std::int64_t>(good.Bytes.size());
    const std::int64_t picture = good.Layout.PictureOffsets[0];
    // A block that runs to the end of the file without its 0x04: stored after
    // the target table, where nothing else follows but the trailer.
    const std::string orphan = "  no end\x07tail";
    ASSERT_EQ(Int32Bytes(static_cast<std::int32_t>(good.Layout.TargetTable)).find('\x04'), std::string::npos);

    struct Case {
        const char* What;
        std::function<void(std::string&)> Patch;
        std::int64_t Position;
        std::string Reason;
    };
    const Case cases[] = {
        {"target count past the end", [&](std::string& b) { PutInt32(b, good.Layout.TargetTable, 5000); },
         good.Layout.TargetTable, "число целей 5000 выходит за конец"},
        {"negative target count", [&](std::string& b) { PutInt32(b, good.Layout.TargetTable, -1); },
         good.Layout.TargetTable, "число целей -1"},
        {"aircraft count past the end", [&](std::string& b) { PutInt32(b, 2 + 3 + 10, 100000); }, 15,
         "число самолётов 100000"},
        {"trailer outside the file",
         [&](std::string& b) { PutInt32(b, size - 4, static_cast<std::int32_t>(size + 100)); }, size - 4,
         "таблица целей по смещению"},
        {"block offset below -2", [&](std::string& b) { PutInt32(b, good.FieldAt(1, 5, 2), -3); },
         good.FieldAt(1, 5, 2), "ячейка moving 0, difficulty 1, mode 1, buildings: смещение блока -3 меньше -2"},
        {"block offset past the end",
         [&](std::string& b) { PutInt32(b, good.FieldAt(2, 15, 8), static_cast<std::int32_t>(size + 10)); },
         good.FieldAt(2, 15, 8), "за пределами файла orvak_zelk.rc0"},
        {"block without its 0x04",
         [&](std::string& b) {
             b = b.substr(0, b.size() - 4) + orphan + Int32Bytes(static_cast<std::int32_t>(good.Layout.TargetTable));
             PutInt32(b, good.FieldAt(0, 0, 0), static_cast<std::int32_t>(size - 4));
         },
         size - 4, "не завершён байтом 0x04"},
        {"picture that is not a JPEG image", [&](std::string& b) { b[static_cast<std::size_t>(picture)] = 'G'; },
         picture, "картинка по смещению"},
        {"picture offset past the end", [&](std::string& b) { PutInt32(b, good.DataFileAt(1) + 4, 1 << 30); },
         good.DataFileAt(1) + 4, "смещение картинки 1073741824 за пределами"},
        {"data file index out of range", [&](std::string& b) { PutInt32(b, good.DataFileAt(2), 12); },
         good.DataFileAt(2), "номер файла данных 12 вне 0..9"},
        {"shorter than a trailer", [&](std::string& b) { b.resize(3); }, 0, "короче 4 байт"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        TTempDir dir;
        std::string bytes = good.Bytes;
        c.Patch(bytes);
        const auto faults = CheckBytes(dir, bytes);
        ASSERT_EQ(faults.size(), 1u);
        EXPECT_EQ(faults[0].Position(), c.Position);
        EXPECT_EQ(faults[0].File().filename(), "orvak_zelk.rc0");
        EXPECT_NE(std::string(faults[0].what()).find(c.Reason), std::string::npos) << faults[0].what();
        // The program itself refuses every one of them too.
        TRefData data;
        EXPECT_THROW(ReadDataFile(bytes, 0, "f", data), TFileError);
    }

    TTempDir dir;
    EXPECT_TRUE(CheckBytes(dir, good.Bytes).empty());
    // A file cut short loses its trailer: whatever the last bytes say, it fails.
    for (const std::int64_t cut : {size / 2, size - 5, good.Layout.TargetTable + 10}) {
        SCOPED_TRACE(cut);
        EXPECT_FALSE(CheckBytes(dir, good.Bytes.substr(0, static_cast<std::size_t>(cut))).empty());
    }
}

TEST(PackCheck, TextLengthPastTheEnd) {
    // The smallest good file: a map record and an empty target table.
    std::string bytes = "\x05Karta\x03k/x" + Int32Bytes(0);
    bytes += Int32Bytes(10);
    TTempDir dir;
    ASSERT_TRUE(CheckBytes(dir, bytes, 1).empty());
    bytes[6] = '\x7F';  // the key's length
    const auto faults = CheckBytes(dir, bytes, 1);
    ASSERT_EQ(faults.size(), 1u);
    EXPECT_EQ(faults[0].Position(), 6);
    EXPECT_NE(std::string(faults[0].what()).find("текст «ключ карты» длиной 127"), std::string::npos);
}

TEST(PackCheck, ReportsEveryFaultNotOnlyTheFirst) {
    TGoodFile good;
    std::string bytes = good.Bytes;
    PutInt32(bytes, good.FieldAt(0, 3, 1), -7);
    PutInt32(bytes, good.FieldAt(0, 9, 4), -9);
    PutInt32(bytes, good.DataFileAt(1) + 4, static_cast<std::int32_t>(good.Layout.BlockOffsets[0]));
    PutInt32(bytes, good.FieldAt(2, 12, 6), 1 << 29);
    TTempDir dir;
    const auto faults = CheckBytes(dir, bytes);
    std::vector<std::int64_t> positions;
    for (const auto& f : faults) positions.push_back(f.Position());
    EXPECT_EQ(positions, (std::vector<std::int64_t>{good.FieldAt(0, 3, 1), good.FieldAt(0, 9, 4),
                                                    good.Layout.BlockOffsets[0], good.FieldAt(2, 12, 6)}));
}

TEST(PackCheck, FindsATargetsDataFileAmongTheGivenOrBesideIt) {
    TTempDir dir;
    TDataFileSource one = test::SupplementSource(1, "One", "one/load.ini", 1);
    one.Targets[0].DataFile = 2;
    one.Targets[0].Picture = -1;
    one.Targets[0].PictureOffset = 0;  // fixed below, once file 2 is laid out
    one.Targets[0].RawBlockOffsets = true;
    TDataFileLayout twoLayout;
    const std::string two = WriteDataFileBytes(test::SupplementSource(2, "Two", "two/load.ini", 1), twoLayout);
    one.Targets[0].PictureOffset = static_cast<std::int32_t>(twoLayout.PictureOffsets[0]);
    test::FillCells(one.Targets[0], static_cast<std::int32_t>(twoLayout.BlockOffsets[0]));
    test::WriteDataFile(dir.Path(), 1, one);

    // File 2 missing: a fault of the record's file, at its DataFile field.
    auto reports = CheckDataFiles({dir / "orvak_zelk.rc1"});
    ASSERT_EQ(reports[0].Faults.size(), 1u);
    EXPECT_NE(std::string(reports[0].Faults[0].what()).find("нет файла данных orvak_zelk.rc2"), std::string::npos);

    // A folder in its place, and a folder given to check: each is a fault of
    // its own report; the other files are still checked.
    fs::create_directories(dir / "orvak_zelk.rc2");
    fs::create_directories(dir / "orvak_zelk.rc4");
    reports = CheckDataFiles({dir / "orvak_zelk.rc4", dir / "orvak_zelk.rc1"});
    ASSERT_EQ(reports.size(), 2u);
    ASSERT_EQ(reports[0].Faults.size(), 1u);
    EXPECT_EQ(reports[0].Faults[0].File(), dir / "orvak_zelk.rc4");
    ASSERT_EQ(reports[1].Faults.size(), 1u);
    EXPECT_EQ(reports[1].Faults[0].File(), dir / "orvak_zelk.rc1");
    EXPECT_NE(std::string(reports[1].Faults[0].what()).find("не читается"), std::string::npos)
        << reports[1].Faults[0].what();
    fs::remove(dir / "orvak_zelk.rc2");

    // Beside it: found and checked.
    WriteFileBytes(dir / "orvak_zelk.rc2", two);
    reports = CheckDataFiles({dir / "orvak_zelk.rc1"});
    EXPECT_TRUE(reports[0].Faults.empty()) << reports[0].Faults[0].what();

    // Given elsewhere, broken: its fault is named in that file.
    TTempDir other;
    std::string broken = two;
    broken[static_cast<std::size_t>(twoLayout.PictureOffsets[0]) + 1] = 0;
    WriteFileBytes(other / "orvak_zelk.rc2", broken);
    reports = CheckDataFiles({dir / "orvak_zelk.rc1", other / "orvak_zelk.rc2"});
    ASSERT_EQ(reports[0].Faults.size(), 1u);
    EXPECT_EQ(reports[0].Faults[0].File(), other / "orvak_zelk.rc2");
    EXPECT_EQ(reports[0].Faults[0].Position(), twoLayout.PictureOffsets[0]);
}

TEST_F(PackDemo, CheckPassesOnTheDemoAndFailsOnABrokenCopy) {
    std::vector<std::string> args{"check"};
    for (const auto& entry : fs::directory_iterator(Data())) args.push_back(entry.path().string());
    TRun run = RunPack(args);
    EXPECT_EQ(run.Code, 0) << run.Out << run.Err;
    EXPECT_EQ(LineCount(run.Out), 3) << run.Out;
    EXPECT_NE(run.Out.find("ошибок нет (карта «Кубань», целей 5, самолётов 9)"), std::string::npos) << run.Out;
    EXPECT_TRUE(run.Err.empty());

    TTempDir dir;
    std::string bytes = ReadFileBytes(Data() / "orvak_zelk.rc1");
    const std::int64_t trailer = static_cast<std::int64_t>(bytes.size()) - 4;
    PutInt32(bytes, trailer, -20);
    // Under a Cyrillic folder: the argument and the report keep its name.
    const fs::path folder = dir / fs::path(u8"Папка");
    fs::create_directories(folder);
    WriteFileBytes(folder / "orvak_zelk.rc1", bytes);
    const std::u8string arg = (folder / "orvak_zelk.rc1").u8string();
    run = RunPack({"check", std::string(arg.begin(), arg.end())});
    EXPECT_EQ(run.Code, 1);
    EXPECT_NE(run.Out.find("Папка"), std::string::npos) << run.Out;
    EXPECT_NE(run.Out.find("orvak_zelk.rc1», байт " + std::to_string(trailer)), std::string::npos) << run.Out;
    EXPECT_EQ(LineCount(run.Err), 1) << run.Err;
}

// ------------------------------------------------------------ arguments

TEST(PackArguments, RejectedArgumentsGiveExitTwoAndChangeNothing) {
    TTempDir dir;
    fs::create_directories(dir / "full");
    WriteFileBytes(dir / "full" / "keep.txt", "keep");
    WriteFileBytes(dir / "orvak_zelk.rc0", "data");
    WriteFileBytes(dir / "data.bin", "data");
    const std::string d = dir.Path().string();
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"pack"},
        {"build"},
        {"build", kDemoSource.string()},
        {"build", kDemoSource.string(), d + "/out", "extra"},
        {"build", d + "/no-such-folder", d + "/out"},
        {"build", kDemoSource.string(), d + "/orvak_zelk.rc0"},
        {"dump", d + "/orvak_zelk.rc0"},
        {"dump", d + "/data.bin", d + "/out"},
        {"dump", d + "/orvak_zelk.rc0", d + "/full"},
        {"check"},
        {"check", d + "/data.bin"},
        {"check", "--frobnicate", d + "/orvak_zelk.rc0"},
    };
    const auto before = FolderFiles(dir.Path());
    for (const auto& args : cases) {
        std::string line;
        for (const auto& a : args) line += a + " ";
        SCOPED_TRACE(line);
        const TRun run = RunPack(args);
        EXPECT_EQ(run.Code, 2);
        EXPECT_EQ(LineCount(run.Err), 1) << run.Err;
        EXPECT_TRUE(run.Out.empty()) << run.Out;
    }
    EXPECT_EQ(FolderFiles(dir.Path()), before);
    EXPECT_FALSE(fs::exists(dir / "out"));

    const TRun help = RunPack({"--help"});
    EXPECT_EQ(help.Code, 0);
    EXPECT_NE(help.Out.find("build"), std::string::npos);
}

TEST(PackArguments, FailuresGiveExitOneAndLeaveTheOutputAlone) {
    TTempDir dir;
    // A broken source: nothing is written, not even the folder.
    fs::create_directories(dir / "src");
    WriteFileBytes(dir / "src" / "manifest.toml", "[[map]]\nfile = 0\nname = \"x\"\n");
    TRun run = RunPack({"build", (dir / "src").string(), (dir / "out").string()});
    EXPECT_EQ(run.Code, 1);
    EXPECT_NE(run.Err.find("manifest.toml"), std::string::npos) << run.Err;
    EXPECT_EQ(LineCount(run.Err), 1);
    EXPECT_FALSE(fs::exists(dir / "out"));

    // A broken data file: the dump writes no folder.
    WriteFileBytes(dir / "orvak_zelk.rc3",
                   "\x01"
                   "a");
    run = RunPack({"dump", (dir / "orvak_zelk.rc3").string(), (dir / "dumped").string()});
    EXPECT_EQ(run.Code, 1);
    EXPECT_NE(run.Err.find("orvak_zelk.rc3"), std::string::npos) << run.Err;
    EXPECT_FALSE(fs::exists(dir / "dumped"));

    run = RunPack({"check", (dir / "orvak_zelk.rc5").string()});
    EXPECT_EQ(run.Code, 1);
    EXPECT_NE(run.Out.find("файла нет"), std::string::npos) << run.Out;
}

// ------------------------------------------------------------ the demo set

// The demo must let the window and the generator show everything they do.
TEST_F(PackDemo, CoversEverythingTheGeneratorDoes) {
    const TRefData data = LoadRefData(Data());
    ASSERT_TRUE(data.Warnings.empty());
    EXPECT_EQ(data.Maps.Count(), 3);
    EXPECT_GE(data.Targets.Count(), 8);
    EXPECT_GE(data.Aircrafts.Count(), 5);

    // As the generator searches them: side and carrier words as written,
    // train words in the lower-cased name.
    std::string names, lowered;
    for (const auto& t : data.Targets.Items) {
        names += Cp1251ToUtf8(t->Name) + "\n";
        lowered += Cp1251ToUtf8(LowerCp1251(t->Name)) + "\n";
    }
    for (const char* word : {"танки синих", "танки красных", "Saratoga", "Essex", "Casablanca", "Illustrious", "Akagi",
                             "Zuikaku", "Мост", "Топливный"})
        EXPECT_NE(names.find(word), std::string::npos) << word;
    for (const char* word : {"командования", "топливный", "товарный", "боеприпас"})
        EXPECT_NE(lowered.find(word), std::string::npos) << word;

    int aircraftModes = 0;
    for (const auto& a : data.Aircrafts.Items) aircraftModes |= a.Modes;
    EXPECT_EQ(aircraftModes & 0x0F, 0x0F);

    std::set<int> modes, movings, difficulties;
    std::set<std::int32_t> negatives;
    bool undefined = false, night = false;
    std::string allLines;
    for (const auto& t : data.Targets.Items) {
        SCOPED_TRACE(Cp1251ToUtf8(t->Name));
        const TImage picture = ReadPicture(data.DataFilePath(t->DataFile), t->PictureOffset);
        EXPECT_EQ(picture.Width, 276);
        EXPECT_EQ(picture.Height, 206);
        TDataFile file(data.DataFilePath(t->DataFile));
        for (int n = 0; n < 16; ++n) {
            const TVariantCell& c = t->Variants[n / 8][(n / 4) % 2][n % 4];
            if (!c.Defined()) {
                undefined = true;
                continue;
            }
            movings.insert(n / 8);
            difficulties.insert((n / 4) % 2);
            modes.insert(n % 4);
            night = night || c.NightBlock >= 0;
            int tankPlaceholders = 0;
            for (const std::int32_t offset :
                 {c.ChiefsBlock, c.NStationaryBlock, c.BuildingsBlock, c.TargetBlock, c.StaticCameraBlock,
                  c.BridgeBlock, c.HouseBlock, c.FrontMarkerBlock, c.NightBlock}) {
                if (offset < 0) {
                    negatives.insert(offset);
                    continue;
                }
                for (const auto& line : file.ReadObjectBlock(offset)) {
                    allLines += line + "\n";
                    for (std::size_t p = line.find('%'); p != std::string::npos; p = line.find('%', p + 1))
                        if (p + 1 < line.size() && std::string("tpb").find(line[p + 1]) != std::string::npos)
                            ++tankPlaceholders;
                }
            }
            EXPECT_LE(tankPlaceholders, 9) << "cell " << n;
        }
    }
    EXPECT_EQ(modes, (std::set<int>{0, 1, 2, 3}));
    EXPECT_EQ(movings, (std::set<int>{0, 1}));
    EXPECT_EQ(difficulties, (std::set<int>{0, 1}));
    EXPECT_EQ(negatives, (std::set<std::int32_t>{-1, -2}));
    EXPECT_TRUE(undefined);
    EXPECT_TRUE(night);
    for (const char* piece :
         {"%t", "%p", "%b", "%v", "%r", "%h", "%a", "$Flak30_20mm", "$Flak18_37mm", "1-Nimrod ", "SdKfz251 "})
        EXPECT_NE(allLines.find(piece), std::string::npos) << piece;
    // A target whose blocks live in another data file than its record.
    bool elsewhere = false;
    for (const auto& t : data.Targets.Items)
        elsewhere = elsewhere || (t->DataFile == 0 && t->MapKey == "Dnepr/load.ini");
    EXPECT_TRUE(elsewhere);
}

}  // namespace
}  // namespace zelk::pack
