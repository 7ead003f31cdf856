// Programme files: the shipped default reads as ten steps from a stationary
// target by day to a column at dusk, and a fault names its line.
#include "programmefile.h"

#include <gtest/gtest.h>

#include "support/tempdir.h"
#include "tomltext.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;

TEST(ProgrammeFile, TheShippedProgrammeReadsFromEasyToHard) {
    const TProgramme p = ReadProgrammeFile(fs::path(ZELK_SOURCE_DIR) / "dist" / "zelk-programme.toml");
    EXPECT_EQ(p.AdvanceAfter, 2);
    ASSERT_EQ(p.Steps.size(), 10u);
    const TConditions& first = p.Steps.front().Conditions;
    const TConditions& last = p.Steps.back().Conditions;
    EXPECT_EQ(first.Moving, 0);
    EXPECT_EQ(first.Weather, 0);
    EXPECT_EQ(first.Fighters, 0);
    EXPECT_EQ(last.Moving, 1);
    EXPECT_EQ(last.Time, 20);
    EXPECT_EQ(last.Clouds, "500");
    EXPECT_GT(last.Fighters.value_or(0), 0);
    EXPECT_FALSE(p.Steps.back().Name.empty());
}

TEST(ProgrammeFile, AFaultNamesItsLine) {
    struct TCase {
        const char* Text;
        int Line;
        const char* Says;
    };
    const TCase cases[] = {
        {"name = \"p\"\n", 1, "[[step]]"},
        {"name = \"p\"\nadvance_after = -1\n[[step]]\nmode = 0\n", 2, "advance_after"},
        {"name = \"p\"\n[[step]]\nmode = 0\n[[step]]\nspeed = 3\n", 5, "speed"},
        {"name = \"p\"\nsteps = 3\n", 2, "steps"},
    };
    test::TTempDir dir;
    const fs::path file = dir.Path() / "programme.toml";
    for (const TCase& c : cases) {
        test::WriteFileBytes(file, c.Text);
        try {
            ReadProgrammeFile(file);
            ADD_FAILURE() << "read without a fault: " << c.Text;
        } catch (const TPilotFileError& e) {
            EXPECT_EQ(e.Line(), c.Line) << c.Text;
            EXPECT_NE(std::string(e.what()).find(c.Says), std::string::npos) << e.what();
        }
    }
}

}  // namespace
}  // namespace zelk
