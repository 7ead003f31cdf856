// Saving puts both files in place together or leaves everything as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>

#include "files/error.h"
#include "fixture.h"
#include "support/unprivileged.h"
#include "generator/writer.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace zelk::test {
namespace {

// Fails the n-th write or rename (counting from 1) on purpose; a failing
// write can leave half its bytes behind, as a full disk would.
class TFailingFileSystem : public TSaveFileSystem {
public:
    int FailWrite = 0;
    int FailRename = 0;
    bool HalfWritten = false;
    int Writes = 0;
    int Renames = 0;

    void WriteFile(const std::filesystem::path& path, std::string_view bytes) override {
        if (++Writes == FailWrite) {
            if (HalfWritten) TSaveFileSystem::WriteFile(path, bytes.substr(0, bytes.size() / 2));
            throw TFileError(path, static_cast<std::int64_t>(bytes.size() / 2), "диск переполнен");
        }
        TSaveFileSystem::WriteFile(path, bytes);
    }
    void Rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
        if (++Renames == FailRename) throw TFileError(to, TFileError::kNoPosition, "файл занят");
        TSaveFileSystem::Rename(from, to);
    }
    bool RenameNew(const std::filesystem::path& from, const std::filesystem::path& to) override {
        if (++Renames == FailRename) throw TFileError(to, TFileError::kNoPosition, "файл занят");
        return TSaveFileSystem::RenameNew(from, to);
    }
};

std::set<std::string> FolderNames(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) names.insert(e.path().filename().string());
    return names;
}

void ExpectSameRecord(const TMission& a, const TMission& b) {
    EXPECT_EQ(a.FileName, b.FileName);
    EXPECT_EQ(a.PropFileName, b.PropFileName);
    EXPECT_EQ(a.Name, b.Name);
    EXPECT_EQ(a.Number, b.Number);
    EXPECT_EQ(a.Short, b.Short);
    EXPECT_EQ(a.Description, b.Description);
    EXPECT_EQ(a.Comment, b.Comment);
    EXPECT_TRUE(a.Data == b.Data);
    EXPECT_TRUE(a.SavedData == b.SavedData);
    EXPECT_EQ(a.SavedComment, b.SavedComment);
    EXPECT_EQ(a.IsNew, b.IsNew);
}

class SaveTest : public ::testing::Test {
protected:
    TWorld world;
    TMission mission = BaseMission();
    std::filesystem::path misPath = world.Missions / "zelk0007.mis";
    std::filesystem::path propPath = world.Missions / "zelk0007_ru.properties";

    // A stored mission, then unsaved edits: what a failed save must keep.
    void StoreThenEdit() {
        SaveMissionFiles(mission, world.Ref, world.Missions, {"old"}, 1);
        mission.Data.Height = 3000;
        mission.Data.Fighters = 2;
        mission.Comment = {"edited"};
    }
};

TEST_F(SaveTest, WritesBothFilesAndUpdatesTheRecord) {
    mission.IsNew = 1;
    mission.FileName = "stale.mis";
    mission.Comment = {"before"};
    mission.Description = {"kept"};
    const TMissionFiles expected = BuildMissionFiles(mission, world.Ref, {"a", "b"}, 42);

    SaveMissionFiles(mission, world.Ref, world.Missions, {"a", "b"}, 42);

    EXPECT_EQ(ReadFileBytes(misPath), expected.MissionBytes);
    EXPECT_EQ(ReadFileBytes(propPath), expected.PropBytes);
    EXPECT_EQ(FolderNames(world.Missions), (std::set<std::string>{"zelk0007.mis", "zelk0007_ru.properties"}));
    EXPECT_EQ(U8(mission.Name), "Штурмовка - Склад у дороги");
    EXPECT_EQ(mission.FileName, "zelk0007.mis");
    EXPECT_EQ(mission.PropFileName, "zelk0007_ru.properties");
    EXPECT_EQ(mission.IsNew, 0);
    EXPECT_FALSE(mission.IsModified());
    // The snapshot is taken before the comment is replaced.
    EXPECT_EQ(mission.SavedComment, std::vector<std::string>{"before"});
    EXPECT_EQ(mission.Comment, std::vector<std::string>{"a\r\nb"});
    EXPECT_EQ(mission.Short, std::vector<std::string>{expected.Short});
    EXPECT_EQ(mission.Description, std::vector<std::string>{"kept"});
}

TEST_F(SaveTest, SavingAgainKeepsNamesAndDrawsAfresh) {
    mission.Data.RandomRoute = 1;
    const auto seedA = FindSeed([](TRandom& r) { return r.DrawRange(0, 34) == 1; });
    const auto seedB = FindSeed([](TRandom& r) { return r.DrawRange(0, 34) == 2; });
    SaveMissionFiles(mission, world.Ref, world.Missions, {}, seedA);
    const std::string first = ReadFileBytes(misPath);
    SaveMissionFiles(mission, world.Ref, world.Missions, {}, seedB);
    EXPECT_NE(ReadFileBytes(misPath), first);
    EXPECT_EQ(FolderNames(world.Missions).size(), 2u);
    EXPECT_EQ(mission.FileName, "zelk0007.mis");
}

TEST_F(SaveTest, AFailureAnywhereLeavesFilesAndRecord) {
    StoreThenEdit();
    const std::string oldMis = ReadFileBytes(misPath);
    const std::string oldProp = ReadFileBytes(propPath);
    const TMission before = mission;

    struct TCase {
        const char* Name;
        int FailWrite;
        int FailRename;
        bool Half;
    };
    const TCase cases[] = {
        {"first write", 1, 0, false},
        {"second write, half done", 2, 0, true},
        {"first rename", 0, 1, false},
        {"second rename, after the mission file moved", 0, 2, false},
    };
    for (const auto& c : cases) {
        TFailingFileSystem fs;
        fs.FailWrite = c.FailWrite;
        fs.FailRename = c.FailRename;
        fs.HalfWritten = c.Half;
        EXPECT_THROW(SaveMissionFiles(mission, world.Ref, world.Missions, {"new"}, 9, &fs), TFileError) << c.Name;
        EXPECT_EQ(ReadFileBytes(misPath), oldMis) << c.Name;
        EXPECT_EQ(ReadFileBytes(propPath), oldProp) << c.Name;
        EXPECT_EQ(FolderNames(world.Missions), (std::set<std::string>{"zelk0007.mis", "zelk0007_ru.properties"}))
            << c.Name;
        ExpectSameRecord(mission, before);
    }
}

TEST_F(SaveTest, ErrorsNameTheMissionsFilesNotTemporaryOnes) {
    TFailingFileSystem fs;
    fs.FailWrite = 2;
    try {
        SaveMissionFiles(mission, world.Ref, world.Missions, {}, 9, &fs);
        ADD_FAILURE() << "no error";
    } catch (const TFileError& e) {
        EXPECT_EQ(e.File(), propPath);
        EXPECT_NE(std::string(e.what()).find("zelk0007_ru.properties"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("диск переполнен"), std::string::npos) << e.what();
    }
}

TEST_F(SaveTest, AFailedFirstSaveLeavesNoFiles) {
    mission.IsNew = 1;
    const TMission before = mission;
    TFailingFileSystem fs;
    fs.FailRename = 2;
    EXPECT_THROW(SaveMissionFiles(mission, world.Ref, world.Missions, {}, 9, &fs), TFileError);
    EXPECT_TRUE(FolderNames(world.Missions).empty());
    ExpectSameRecord(mission, before);
}

TEST_F(SaveTest, DataFileGoneSinceStart) {
    StoreThenEdit();
    const std::string oldMis = ReadFileBytes(misPath);
    const TMission before = mission;
    std::filesystem::remove(world.Dir / "orvak_zelk.rc0");
    try {
        SaveMissionFiles(mission, world.Ref, world.Missions, {}, 3);
        ADD_FAILURE() << "no error";
    } catch (const TFileError& e) {
        EXPECT_EQ(e.File().filename(), "orvak_zelk.rc0");
    }
    EXPECT_EQ(ReadFileBytes(misPath), oldMis);
    ExpectSameRecord(mission, before);
}

TEST_F(SaveTest, MissingFolder) {
    const TMission before = mission;
    EXPECT_THROW(SaveMissionFiles(mission, world.Ref, world.Dir / "nowhere", {}, 3), TFileError);
    EXPECT_FALSE(std::filesystem::exists(world.Dir / "nowhere"));
    ExpectSameRecord(mission, before);
}

TEST_F(SaveTest, ReadOnlyFolder) {
    StoreThenEdit();
    const std::string oldMis = ReadFileBytes(misPath);
    const TMission edited = mission;
    AsUnprivilegedUser(world.Dir.Path(), [&] {
        std::filesystem::permissions(world.Missions,
                                     std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        // Where permissions do not bind (a Windows folder), there is nothing to check.
        if (std::ofstream(world.Missions / "probe").good()) {
            std::filesystem::permissions(world.Missions, std::filesystem::perms::owner_all);
            GTEST_SKIP() << "a read-only folder takes new files here";
        }
        EXPECT_THROW(SaveMissionFiles(mission, world.Ref, world.Missions, {}, 3), TFileError);
        std::filesystem::permissions(world.Missions, std::filesystem::perms::owner_all);
        EXPECT_EQ(ReadFileBytes(misPath), oldMis);
        ExpectSameRecord(mission, edited);
    });
}

// The scan leaves read-only missions out, so New may take the number of one;
// saving must not replace it, whoever runs the program.
TEST_F(SaveTest, ReadOnlyStoredFilesAreNotReplaced) {
    namespace fs = std::filesystem;
    const fs::perms readOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    for (const fs::path* locked : {&misPath, &propPath}) {
        TMission stored = BaseMission();
        SaveMissionFiles(stored, world.Ref, world.Missions, {"old"}, 1);
        const std::string oldMis = ReadFileBytes(misPath);
        const std::string oldProp = ReadFileBytes(propPath);
        fs::permissions(*locked, readOnly);
        TMission fresh = BaseMission();
        fresh.Data.Height = 3000;
        fresh.IsNew = 1;
        const TMission before = fresh;
        try {
            SaveMissionFiles(fresh, world.Ref, world.Missions, {"new"}, 2);
            ADD_FAILURE() << "replaced " << *locked;
        } catch (const TFileError& e) {
            EXPECT_EQ(e.File(), *locked);
        }
        fs::permissions(*locked, fs::perms::owner_read | fs::perms::owner_write);
        EXPECT_EQ(ReadFileBytes(misPath), oldMis) << *locked;
        EXPECT_EQ(ReadFileBytes(propPath), oldProp) << *locked;
        EXPECT_EQ(FolderNames(world.Missions), (std::set<std::string>{"zelk0007.mis", "zelk0007_ru.properties"}));
        ExpectSameRecord(fresh, before);
    }
}

#ifdef _WIN32
// The simulator may hold a mission open while the pilot saves it: the save
// is refused with the file's name and both files stay as they were.
TEST_F(SaveTest, FileHeldOpenByAnotherProgramIsReportedNotLost) {
    for (const std::filesystem::path* held : {&misPath, &propPath}) {
        SCOPED_TRACE(held->filename().string());
        StoreThenEdit();
        const std::string oldMis = ReadFileBytes(misPath);
        const std::string oldProp = ReadFileBytes(propPath);
        const TMission edited = mission;
        HANDLE h = CreateFileW(held->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        EXPECT_THROW(SaveMissionFiles(mission, world.Ref, world.Missions, {}, 3), TFileError);
        CloseHandle(h);
        EXPECT_EQ(ReadFileBytes(misPath), oldMis);
        EXPECT_EQ(ReadFileBytes(propPath), oldProp);
        EXPECT_EQ(FolderNames(world.Missions), (std::set<std::string>{"zelk0007.mis", "zelk0007_ru.properties"}));
        ExpectSameRecord(mission, edited);
    }
}
#endif

TEST(CommentBoxLines, SplitsEntriesAtLineBreaks) {
    TMission m;
    EXPECT_TRUE(CommentBoxLines(m).empty());
    m.Comment = {""};
    EXPECT_EQ(CommentBoxLines(m), std::vector<std::string>{""});
    m.Comment = {"a\r\nb", "c", "d\r\n"};
    EXPECT_EQ(CommentBoxLines(m), (std::vector<std::string>{"a", "b", "c", "d", ""}));
}

TEST_F(SaveTest, RegeneratingKeepsTheMissionsOwnComment) {
    SaveMissionFiles(mission, world.Ref, world.Missions, {W("первая"), "second"}, 1);
    const std::string firstProp = ReadFileBytes(propPath);
    SaveMissionFiles(mission, world.Ref, world.Missions, CommentBoxLines(mission), 2);
    EXPECT_EQ(U8(mission.Comment.at(0)), "первая\r\nsecond");
    EXPECT_EQ(ReadFileBytes(propPath), firstProp);
}

}  // namespace
}  // namespace zelk::test
