// Templates of conditions through zelk-cli: what a template fixes, every
// mission made from it keeps; what it leaves open is drawn anew.
#include <nlohmann/json.hpp>

#include "cli_harness.h"

namespace zelk::test {
namespace {

fs::path TemplatesOf(const TSimFolder& sim) { return sim.DataDir() / "zelk-templates.toml"; }

// `text` with `from` replaced by `to` once; the test fails when absent.
std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

TEST(CliTemplate, MissionsFromATemplateKeepItsFixedConditionsAndDrawTheOpenOnes) {
    TSimFolder sim;
    ASSERT_EQ(sim.Cli({"new", "--target", "Танки на марше", "--moving", "1", "--difficulty", "1", "--mode", "2",
                       "--fighters", "3", "--height", "2500", "--flight", "2", "--time", "6"})
                  .Code,
              0);
    const TRunResult saved = sim.Cli({"template", "save", "zelk0001.mis", "--name", "Марш"});
    ASSERT_EQ(saved.Code, 0) << saved.Err;
    // The pilot leaves the hour, weather and cloud base open by hand.
    std::string text = ReadFileBytes(TemplatesOf(sim));
    text = Replaced(text, "time = 6\n", "time = \"любая\"\n");
    text = Replaced(text, "weather = 0", "weather = \"случайная\"  #");
    text = Replaced(text, "clouds = \"800\"", "clouds = \"любая\"");
    WriteFileBytes(TemplatesOf(sim), text);
    EXPECT_EQ(sim.Cli({"template", "list"}).Out, "Марш\n");

    const TRunResult made = sim.Cli({"new", "--template", "Марш", "--count", "3", "--json", "--seed", "11"});
    ASSERT_EQ(made.Code, 0) << made.Err;
    EXPECT_EQ(made.Err, "");
    std::istringstream lines(made.Out);
    std::set<std::string> open;
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        const auto p = nlohmann::json::parse(line)["params"];
        ++count;
        EXPECT_EQ(p["target"], "Танки на марше");
        EXPECT_EQ(p["moving"], 1);
        EXPECT_EQ(p["mode"], 2);
        EXPECT_EQ(p["difficulty"], 1);
        EXPECT_EQ(p["fighters"], 3);
        EXPECT_EQ(p["height"], 2500);
        EXPECT_EQ(p["flight"], 2);
        open.insert(p["time"].dump() + "/" + p["weather"].dump() + "/" + p["clouds"].dump());
    }
    EXPECT_EQ(count, 3);
    EXPECT_EQ(open.size(), 3u) << "the open conditions came out the same";
}

TEST(CliTemplate, WhatTheDataNoLongerOfferIsSettledAndSaid) {
    TSimFolder sim;
    WriteFileBytes(TemplatesOf(sim),
                   "[[template]]\nname = \"Старый\"\nmap = \"maps/alpha.ini\"\ntarget = \"Разрушенный мост\"\n"
                   "mode = 0\naircraft = \"Yak_9\"\ntime = 14\n");
    const TRunResult made = sim.Cli({"new", "--template", "Старый", "--json", "--seed", "1"});
    ASSERT_EQ(made.Code, 0) << made.Err;
    const auto p = nlohmann::json::parse(made.Out)["params"];
    EXPECT_EQ(p["map"], "maps/alpha.ini");
    EXPECT_EQ(p["mode"], 0);
    EXPECT_EQ(p["time"], 14);
    EXPECT_NE(p["aircraft"], "Yak_9");
    EXPECT_NE(made.Err.find("«Разрушенный мост»"), std::string::npos) << made.Err;
    EXPECT_NE(made.Err.find("«Yak_9»"), std::string::npos) << made.Err;
}

TEST(CliTemplate, RefusalsAndFaultsChangeNothing) {
    TSimFolder sim;
    ASSERT_EQ(sim.Cli({"new"}).Code, 0);
    ASSERT_EQ(sim.Cli({"template", "save", "zelk0001.mis", "--name", "Один"}).Code, 0);
    const auto before = Snapshot(sim.Root());
    struct TCase {
        std::vector<std::string> Args;
        int Code;
        const char* Says;
    };
    const TCase cases[] = {
        {{"new", "--template", "Нет такого"}, 2, "Один"},
        {{"new", "--template", "Один", "--time", "3"}, 2, "--template"},
        {{"template", "save", "zelk0001.mis", "--name", "Один"}, 2, "уже есть"},
        {{"template", "save", "zelk0009.mis", "--name", "Два"}, 2, "zelk0009.mis"},
        {{"template", "save", "zelk0001.mis", "--name", "\xC0\xFF"}, 2, "UTF-8"},
        {{"template", "delete", "Два"}, 2, "Один"},
        {{"template", "show"}, 2, "template show NAME"},
    };
    for (const TCase& c : cases) {
        const TRunResult r = sim.Cli(c.Args);
        EXPECT_EQ(r.Code, c.Code) << c.Args.back() << r.Err;
        EXPECT_NE(r.Err.find(c.Says), std::string::npos) << r.Err;
    }
    EXPECT_EQ(Snapshot(sim.Root()), before);

    // A file the pilot broke by hand is named with its line; nothing is made.
    const std::string text = ReadFileBytes(TemplatesOf(sim));
    WriteFileBytes(TemplatesOf(sim), text + "mode = 9\n");
    const auto broken = Snapshot(sim.Root());
    const TRunResult r = sim.Cli({"new", "--template", "Один"});
    EXPECT_EQ(r.Code, 1);
    EXPECT_NE(r.Err.find("zelk-templates.toml"), std::string::npos) << r.Err;
    EXPECT_NE(r.Err.find("строка " + std::to_string(CountLines(text) + 1) + ":"), std::string::npos) << r.Err;
    EXPECT_EQ(Snapshot(sim.Root()), broken);

    ASSERT_EQ(sim.Cli({"template", "delete", "Один"}).Code, 1);
}

}  // namespace
}  // namespace zelk::test
