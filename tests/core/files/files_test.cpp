// Checked writes, file errors and paths of any letters.
#include <gtest/gtest.h>

#include <string>

#include "files/error.h"
#include "files/paths.h"
#include "files/savefs.h"
#include "support/faultfs.h"
#include "support/tempdir.h"

namespace zelk::test {
namespace {

namespace fs = std::filesystem;

TEST(WriteFileAtomically, ReplacesWholeOrLeavesTheOldFileAndNamesIt) {
    TTempDir dir;
    const fs::path file = dir / "zelk0001.svg";
    WriteFileBytes(file, "old");
    // Each step failing in turn: the write of the temporary file, its rename.
    for (int failAt = 1; failAt <= 2; ++failAt) {
        TFaultFileSystem faulty;
        faulty.FailAt = failAt;
        try {
            WriteFileAtomically(faulty, file, "new bytes");
            ADD_FAILURE() << "no failure at step " << failAt;
        } catch (const TFileError& e) {
            EXPECT_EQ(e.File(), file) << failAt;  // never the temporary name
        }
        EXPECT_EQ(ReadFileBytes(file), "old") << failAt;
        EXPECT_EQ(FolderBytes(dir.Path()).size(), 1u) << "a temporary file is left at step " << failAt;
    }
    TSaveFileSystem disk;
    WriteFileAtomically(disk, file, "new bytes");
    EXPECT_EQ(ReadFileBytes(file), "new bytes");
    EXPECT_NE(TemporarySuffix(), TemporarySuffix());
}

TEST(RenameNew, NeverTakesANameInUse) {
    TTempDir dir;
    WriteFileBytes(dir / "a", "a");
    WriteFileBytes(dir / "b", "b");
    TSaveFileSystem disk;
    EXPECT_FALSE(disk.RenameNew(dir / "a", dir / "b"));
    EXPECT_EQ(ReadFileBytes(dir / "b"), "b");
    EXPECT_TRUE(disk.RenameNew(dir / "a", dir / "c"));
    EXPECT_EQ(ReadFileBytes(dir / "c"), "a");
}

TEST(Paths, CyrillicNamesOpenAndComeBackAsUtf8) {
    TTempDir dir;
    const fs::path file = dir / PathFromUtf8("задание №1.mis");
    WriteFileBytes(file, "x");
    std::FILE* f = OpenFile(file, "rb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    EXPECT_EQ(PathToUtf8(file.filename()), "задание №1.mis");
    const TFileError e(file, 12, "причина");
    EXPECT_NE(std::string(e.what()).find("задание №1.mis», байт 12: причина"), std::string::npos) << e.what();
}

}  // namespace
}  // namespace zelk::test
