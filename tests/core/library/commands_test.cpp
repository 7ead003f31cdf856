// The mission library's commands, numbering and question texts.
#include "library/commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "data/codepage.h"
#include "files/error.h"
#include "support/faultfs.h"
#include "support/tempdir.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;
using test::TTempDir;
using test::WriteFileBytes;

// A library holding saved missions with the given numbers, in that order.
TMissionLibrary WithNumbers(const std::vector<int>& numbers) {
    TMissionLibrary lib;
    for (int n : numbers) {
        auto m = std::make_unique<TMission>();
        m->Number = n;
        m->MakeFileNames(n);
        m->Name = "m" + std::to_string(n);
        m->SaveState();
        lib.Missions.push_back(std::move(m));
    }
    return lib;
}

const TNewDefaults kDefaults{"maps/zero.ini", W("Цель 1"), "IL2"};

TEST(MissionLibrary, NewInEmptyLibraryTakesNumberOneWithDefaults) {
    TMissionLibrary lib;
    const int i = lib.NewMission(kDefaults);
    ASSERT_EQ(i, 0);
    const TMission& m = lib.At(0);
    EXPECT_EQ(m.Number, 1);
    EXPECT_EQ(m.FileName, "zelk0001.mis");
    EXPECT_EQ(m.PropFileName, "zelk0001_ru.properties");
    EXPECT_EQ(m.Name, "zelk0001.mis");
    EXPECT_EQ(m.Data.Map, "maps/zero.ini");
    EXPECT_EQ(m.Data.Target, W("Цель 1"));
    EXPECT_EQ(m.Data.Aircraft, "IL2");
    EXPECT_EQ(m.Data.Height, 1000);
    EXPECT_EQ(m.Data.Clouds, "800");
    EXPECT_EQ(m.Data.Time, 12);
    EXPECT_EQ(m.Data.Mode + m.Data.Difficulty + m.Data.Army + m.Data.Weather + m.Data.Moving + m.Data.Flight +
                  m.Data.Tanks + m.Data.RandomRoute + m.Data.Fighters,
              0);
    EXPECT_EQ(m.Short, std::vector<std::string>{W("\r\n Не забудьте сохранить это задание!")});
    EXPECT_EQ(m.IsNew, 1);
    EXPECT_FALSE(m.IsModified());
    EXPECT_TRUE(m.IsUnsaved());
}

TEST(MissionLibrary, NewTakesHighestNumberPlusOne) {
    TMissionLibrary lib = WithNumbers({3, 10, 7});
    const int i = lib.NewMission(kDefaults);
    ASSERT_EQ(i, 3);  // appended at the end
    EXPECT_EQ(lib.At(i).Number, 11);
    EXPECT_EQ(lib.Counter, 10);
}

TEST(MissionLibrary, NumberLimitStopsNewAndCopyUntilTheTopIsDeleted) {
    TTempDir dir;
    TMissionLibrary lib = WithNumbers({9998, 9999});
    EXPECT_FALSE(lib.CheckMaxFileNumber());
    EXPECT_EQ(lib.NewMission(kDefaults), -1);
    EXPECT_EQ(lib.CopyMission(0), -1);
    EXPECT_EQ(lib.Count(), 2);

    lib.DeleteMissions({1}, dir.Path());
    const int i = lib.NewMission(kDefaults);
    ASSERT_GE(i, 0);
    EXPECT_EQ(lib.At(i).Number, 9999);
    EXPECT_EQ(lib.At(i).FileName, "zelk9999.mis");
    EXPECT_EQ(NumberLimitText(),
              W("Исчерпан лимит номеров заданий ZELK - 9999!\r\nУдалите лишние задания из папки ZELK."));
}

TEST(MissionLibrary, DeleteRemovesExactlyTheSelectedEntriesAndTheirFiles) {
    TTempDir dir;
    TMissionLibrary lib = WithNumbers({1, 2, 3, 4, 5});
    for (int n : {1, 2, 3, 4, 5}) {
        WriteFileBytes(dir / lib.At(n - 1).FileName, "m");
        if (n != 4) WriteFileBytes(dir / lib.At(n - 1).PropFileName, "p");  // 4 lacks one: ignored
    }
    // Any order, duplicates and indices outside the list do no harm.
    EXPECT_EQ(lib.DeleteMissions({3, 0, 3, 9, -1, 1}, dir.Path()), 3);
    ASSERT_EQ(lib.Count(), 2);
    EXPECT_EQ(lib.At(0).Number, 3);
    EXPECT_EQ(lib.At(1).Number, 5);
    for (int n : {1, 2, 4}) {
        EXPECT_FALSE(fs::exists(dir / MissionFileName(n))) << n;
    }
    EXPECT_FALSE(fs::exists(dir / "zelk0002_ru.properties"));
    EXPECT_TRUE(fs::exists(dir / "zelk0003.mis"));
    EXPECT_TRUE(fs::exists(dir / "zelk0005_ru.properties"));

    EXPECT_EQ(lib.DeleteMissions({0, 1}, dir.Path()), 2);
    EXPECT_TRUE(lib.Empty());
}

// A mission file that stays keeps its entry; a description that stays is
// reported; a mission never saved has no files to delete, even when another
// program has used its number meanwhile.
TEST(MissionLibrary, DeleteReportsWhatStaysAndKeepsWhatIsStillListed) {
    TTempDir dir;
    TMissionLibrary lib = WithNumbers({1, 2, 3});
    lib.At(2).IsNew = 1;
    for (const char* name : {"zelk0001.mis", "zelk0001_ru.properties", "zelk0002.mis", "zelk0002_ru.properties",
                             "zelk0003.mis", "zelk0003_ru.properties"})
        WriteFileBytes(dir / name, name);
    test::TFaultFileSystem faults;
    lib.FileSystem = &faults;
    std::vector<fs::path> left;
    faults.FailAt = 1;  // the mission file of 2, the first removed
    EXPECT_EQ(lib.DeleteMissions({0, 1, 2}, dir.Path(), &left), 2);
    EXPECT_EQ(left, std::vector<fs::path>{dir / "zelk0002.mis"});
    ASSERT_EQ(lib.Count(), 1);
    EXPECT_EQ(lib.At(0).Number, 2);
    EXPECT_TRUE(fs::exists(dir / "zelk0002_ru.properties"));
    EXPECT_TRUE(fs::exists(dir / "zelk0003.mis"));
    EXPECT_FALSE(fs::exists(dir / "zelk0001_ru.properties"));

    left.clear();
    faults.Calls = 0;
    faults.FailAt = 2;  // now its description
    EXPECT_EQ(lib.DeleteMissions({0}, dir.Path(), &left), 1);
    EXPECT_EQ(left, std::vector<fs::path>{dir / "zelk0002_ru.properties"});
    EXPECT_FALSE(fs::exists(dir / "zelk0002.mis"));
}

TEST(MissionLibrary, CopyKeepsTitleAndParametersButResetsTheRest) {
    TMissionLibrary lib = WithNumbers({4});
    TMission& src = lib.At(0);
    src.Name = W("Штурмовка - танки [Т-34]");
    src.Data = TMissionData{"map", W("танки"), 1, 2, 1, "IL2", 3, 2, 2500, "1300", 22, 5, 4, 1, 3};
    src.Short = {"summary"};
    src.Description = {"full"};
    src.Comment = {"comment"};
    src.SaveState();

    const int i = lib.CopyMission(0);
    ASSERT_EQ(i, 1);
    const TMission& c = lib.At(i);
    EXPECT_EQ(c.Number, 5);
    EXPECT_EQ(c.FileName, "zelk0005.mis");
    EXPECT_EQ(c.Name, src.Name);
    TMissionData expected = src.Data;
    expected.Tanks = 0;
    expected.RandomRoute = 0;
    expected.Fighters = 0;
    EXPECT_EQ(c.Data, expected);
    EXPECT_EQ(c.Short, std::vector<std::string>{SaveReminderText()});
    EXPECT_TRUE(c.Description.empty());
    EXPECT_TRUE(c.Comment.empty());
    EXPECT_EQ(c.IsNew, 1);
    EXPECT_FALSE(c.IsModified());
    EXPECT_THROW(lib.CopyMission(7), std::out_of_range);
}

TEST(MissionLibrary, FindAndCountUnsaved) {
    TMissionLibrary lib = WithNumbers({1, 2, 3});
    EXPECT_EQ(lib.FindByFileName("zelk0002.mis"), 1);
    EXPECT_EQ(lib.FindByFileName("ZELK0002.MIS"), -1);
    EXPECT_EQ(lib.CountUnsaved(), 0);
    lib.At(0).Comment = {"only the comment"};
    EXPECT_EQ(lib.CountUnsaved(), 0);
    lib.At(1).Data.Height = 10;
    lib.NewMission(kDefaults);
    EXPECT_EQ(lib.CountUnsaved(), 2);
    lib.At(1).Data.Height = 0;  // changed back
    EXPECT_EQ(lib.CountUnsaved(), 1);
}

TEST(MissionLibrary, SaveOfAnUnlistedFileNameWritesNothing) {
    TTempDir dir;
    TMissionLibrary lib = WithNumbers({1});
    TRefData ref;
    EXPECT_THROW(lib.SaveMission("zelk0002.mis", ref, dir.Path(), {}, 1), TFileError);
    EXPECT_TRUE(fs::is_empty(dir.Path()));
    EXPECT_EQ(lib.At(0).Name, "m1");
}

TEST(MissionLibrary, LoadTakesTheScanAndItsCounter) {
    TTempDir dir;
    WriteFileBytes(dir / "zelk0008.mis", "  TIME 3.0\r\n");
    WriteFileBytes(dir / "ZELK0030.MIS", "unreadable under its own name");
    TMissionLibrary lib = WithNumbers({50});
    ASSERT_TRUE(lib.Load(dir.Path(), TTargetsColl{}));
#ifdef _WIN32
    // Names are case-insensitive there: ZELK0030.MIS opens as zelk0030.mis.
    ASSERT_EQ(lib.Count(), 2);
    EXPECT_EQ(lib.At(lib.NewMission(kDefaults)).Number, 31);
    return;
#endif
    ASSERT_EQ(lib.Count(), 1);
    EXPECT_EQ(lib.At(0).Data.Time, 3);
    EXPECT_EQ(lib.Counter, 30);
    EXPECT_EQ(lib.At(lib.NewMission(kDefaults)).Number, 9);  // the counter is recomputed from the list
}

TEST(PluralForm, RussianAgreement) {
    using F = TPluralForm;
    const std::vector<std::pair<int, F>> cases = {{1, F::One},   {2, F::Few},   {3, F::Few},   {4, F::Few},
                                                  {5, F::Many},  {11, F::Many}, {12, F::Many}, {14, F::Many},
                                                  {20, F::Many}, {21, F::One},  {22, F::Few},  {25, F::Many},
                                                  {0, F::Many},  {101, F::One}, {111, F::One}};
    for (auto [n, form] : cases) EXPECT_EQ(PluralForm(n), form) << n;
}

TEST(QuestionTexts, DeleteEndings) {
    EXPECT_EQ(DeleteQuestionText(1), W("Вы действительно хотите удалить 1 задание?"));
    EXPECT_EQ(DeleteQuestionText(3), W("Вы действительно хотите удалить 3 задания?"));
    EXPECT_EQ(DeleteQuestionText(5), W("Вы действительно хотите удалить 5 заданий?"));
    EXPECT_EQ(DeleteQuestionText(11), W("Вы действительно хотите удалить 11 заданий?"));
    EXPECT_EQ(DeleteQuestionText(12), W("Вы действительно хотите удалить 12 заданий?"));
    EXPECT_EQ(DeleteQuestionText(21), W("Вы действительно хотите удалить 21 задание?"));
    EXPECT_EQ(DeleteQuestionText(22), W("Вы действительно хотите удалить 22 задания?"));
}

TEST(QuestionTexts, UnsavedPieces) {
    EXPECT_EQ(UnsavedQuestionText(1), W("Не сохранено 1 задание!\rСохранить его для Вас?"));
    EXPECT_EQ(UnsavedQuestionText(2), W("Не сохранены 2 задания!\rСохранить их для Вас?"));
    EXPECT_EQ(UnsavedQuestionText(5), W("Не сохранены 5 заданий!\rСохранить их для Вас?"));
    EXPECT_EQ(UnsavedQuestionText(12), W("Не сохранены 12 заданий!\rСохранить их для Вас?"));
    EXPECT_EQ(UnsavedQuestionText(21), W("Не сохранено 21 задание!\rСохранить его для Вас?"));
    EXPECT_EQ(UnsavedQuestionText(25), W("Не сохранены 25 заданий!\rСохранить их для Вас?"));
}

}  // namespace
}  // namespace zelk
