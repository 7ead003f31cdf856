// Templates of conditions on disk: what is written reads back the same, and a
// file that cannot be read names the line at fault.
#include "templates.h"

#include <gtest/gtest.h>

#include "data/codepage.h"
#include "support/tempdir.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;

TEST(Templates, WrittenTemplatesReadBackTheSame) {
    test::TTempDir dir;
    TTemplate fixed;
    fixed.Name = "Ночная \"колонна\" \\ тест";
    TMissionData d;
    d.Map = "maps/alpha.ini";
    d.Target = W("Танки на марше");
    d.Moving = 1;
    d.Mode = 2;
    d.Difficulty = 1;
    d.Aircraft = "IL_2M";
    d.Army = 2;
    d.Flight = 1;
    d.Height = 1500;
    d.Clouds = "1100";
    d.Time = 22;
    d.Weather = 3;
    d.Tanks = 4;
    d.RandomRoute = 1;
    d.Fighters = 2;
    fixed.Conditions = ConditionsOf(d);
    TTemplate open;
    open.Name = "Любая";
    open.Conditions.TargetKind = W("эшелон");
    open.Conditions.Time = 0;
    const fs::path file = dir.Path() / kTemplatesFileName;
    WriteTemplates(file, {fixed, open});

    const auto read = ReadTemplates(file);
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0].Name, fixed.Name);
    EXPECT_EQ(read[0].Conditions, fixed.Conditions);
    EXPECT_EQ(read[1].Name, open.Name);
    EXPECT_EQ(read[1].Conditions, open.Conditions);
    EXPECT_TRUE(ReadTemplates(dir.Path() / "none.toml").empty());
}

TEST(Templates, AFaultNamesItsLine) {
    struct TCase {
        const char* Text;
        int Line;
        const char* Says;
    };
    const TCase cases[] = {
        {"[[template]]\nname = \"a\"\nmode = \n", 3, "TOML"},
        {"[[template]]\nname = \"a\"\n\nspeed = 3\n", 4, "speed"},
        {"[[template]]\nname = \"a\"\nmode = 7  # вне\n", 3, "mode"},
        {"[[template]]\nname = \"a\"\nheight = \"высоко\"\n", 3, "height"},
        {"[[template]]\nname = \"a\"\nclouds = \"750\"\n", 3, "clouds"},
        {"[[template]]\nname = \"a\"\ntarget = \"橋\"\n", 3, "target"},
        {"[[template]]\nname = \"a\"\ndifficulty = 0\nfighters = 2\n", 4, "fighters"},
        {"[[template]]\nname = \"a\"\n[[template]]\nname = \"a\"\n", 4, "«a»"},
        {"[[template]]\nname = \"\"\n", 2, "имя"},
        {"[[template]]\nmode = 1\n", 1, "name"},
        {"template = 3\n", 1, "[[template]]"},
        {"[[template]]\nname = \"a\"\ntarget = \"\\uE001\"\n", 3, "U+E001"},
    };
    test::TTempDir dir;
    const fs::path file = dir.Path() / kTemplatesFileName;
    for (const TCase& c : cases) {
        test::WriteFileBytes(file, c.Text);
        try {
            ReadTemplates(file);
            ADD_FAILURE() << "read without a fault: " << c.Text;
        } catch (const TPilotFileError& e) {
            EXPECT_EQ(e.Line(), c.Line) << c.Text;
            const std::string what = e.what();
            EXPECT_NE(what.find("строка " + std::to_string(c.Line)), std::string::npos) << what;
            EXPECT_NE(what.find(c.Says), std::string::npos) << what;
            EXPECT_NE(what.find(kTemplatesFileName), std::string::npos) << what;
        }
    }
}

}  // namespace
}  // namespace zelk
