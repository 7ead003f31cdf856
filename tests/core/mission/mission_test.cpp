// The mission record: the names of its files and what counts as unsaved.
#include "mission/mission.h"

#include <gtest/gtest.h>

namespace zelk {
namespace {

TEST(MissionFileNames, BothNamesShareTheNumber) {
    TMission m;
    m.MakeFileNames(7);
    EXPECT_EQ(m.FileName, "zelk0007.mis");
    EXPECT_EQ(m.PropFileName, "zelk0007_ru.properties");
    // Past four digits the name grows; it is never cut to eight characters.
    m.MakeFileNames(12345);
    EXPECT_EQ(m.FileName, "zelk12345.mis");
    EXPECT_EQ(m.PropFileName, "zelk12345_ru.properties");
}

TEST(MissionNumberFromEntry, AcceptsOnlyFourDigits) {
    EXPECT_EQ(MissionNumberFromEntry("zelk0042.mis"), 42);
    EXPECT_EQ(MissionNumberFromEntry("ZELK9999.MIS"), 9999);
    EXPECT_EQ(MissionNumberFromEntry("zelkabcd.mis"), -1);
    EXPECT_EQ(MissionNumberFromEntry("zelk0000.mis"), -1);
    EXPECT_EQ(MissionNumberFromEntry("zelk-001.mis"), -1);
    EXPECT_EQ(MissionNumberFromEntry("zelk +12.mis"), -1);
    EXPECT_EQ(MissionNumberFromEntry("zelk12345.mis"), -1);
    EXPECT_EQ(MissionNumberFromEntry("zelk0001.mis.bak"), -1);
    EXPECT_EQ(MissionNumberFromEntry("zelk0001_ru.properties"), -1);
    // Every name the scan takes looks like a mission file; not the reverse.
    EXPECT_TRUE(LooksLikeMissionFile("Zelk0001.Mis"));
    EXPECT_TRUE(LooksLikeMissionFile("zelk.mis"));
    EXPECT_TRUE(LooksLikeMissionFile("zelk12.mis"));
    EXPECT_FALSE(LooksLikeMissionFile("zelk.mi"));
    EXPECT_FALSE(LooksLikeMissionFile("~zelk0001.mis.tmp"));
}

TEST(Mission, ATypedCommentCountsAsUnsavedButNotAsModified) {
    TMission m;
    m.SaveState();
    EXPECT_FALSE(m.IsUnsaved());
    m.TypedComment = std::vector<std::string>{"x"};
    EXPECT_TRUE(m.IsUnsaved());
    EXPECT_FALSE(m.IsModified());
    m.SaveState();
    EXPECT_FALSE(m.IsUnsaved());
    m.Data.Fighters = 1;
    EXPECT_TRUE(m.IsModified());
}

}  // namespace
}  // namespace zelk
