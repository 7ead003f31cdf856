// The kneeboard card: its numbers are those of the mission file, its boxes
// fit the page, and it is never written over a file the simulator reads.
#include <cmath>
#include <numbers>
#include <regex>

#include "card/card.h"
#include <nlohmann/json.hpp>

#include "cli_harness.h"
#include "files/paths.h"
#include "library/availability.h"
#include "library/commands.h"
#include "monitor/language.h"
#include "text/tr.h"
#include "zelk_version.h"

namespace zelk::test {
namespace {

struct TRoutePoint {
    std::string Kind;
    double X = 0, Y = 0;
    int Altitude = 0;
};

// The player's route, read from the mission file by this test itself: the
// group named by "player" in [MAIN], its points in [<group>_Way].
std::vector<TRoutePoint> PlayerRoute(const std::string& mission) {
    std::istringstream in(mission);
    std::string line, section, player;
    std::vector<TRoutePoint> route;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        std::string first;
        words >> first;
        if (!first.empty() && first.front() == '[') {
            section = first;
            continue;
        }
        if (section == "[MAIN]" && first == "player") words >> player;
        if (!player.empty() && section == "[" + player + "_Way]") {
            TRoutePoint p;
            p.Kind = first;
            words >> p.X >> p.Y >> p.Altitude;
            route.push_back(p);
        }
    }
    return route;
}

// The texts of an SVG document, one per <text> element.
std::vector<std::string> SvgTexts(const std::string& svg) {
    std::vector<std::string> texts;
    const std::regex element("<text[^>]*>([^<]*)</text>");
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), element); it != std::sregex_iterator(); ++it) {
        std::string t = (*it)[1];
        for (const auto& [from, to] :
             {std::pair<std::string, std::string>{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}})
            for (std::size_t at = t.find(from); at != std::string::npos; at = t.find(from, at + to.size()))
                t.replace(at, from.size(), to);
        texts.push_back(t);
    }
    return texts;
}

bool HasText(const std::vector<std::string>& texts, const std::string& part) {
    return std::any_of(texts.begin(), texts.end(),
                       [&](const std::string& t) { return t.find(part) != std::string::npos; });
}

std::string Padded(int value, int width) {
    std::string s = std::to_string(value);
    return std::string(static_cast<std::size_t>(std::max(0, width - static_cast<int>(s.size()))), '0') + s;
}

TEST(CliCard, ShowsTheHeadingsDistancesAndAltitudesOfTheMissionFile) {
    TSimFolder sim;
    ASSERT_EQ(sim.Cli({"new",
                       "--target",
                       "Танки на марше",
                       "--moving",
                       "1",
                       "--difficulty",
                       "1",
                       "--fighters",
                       "2",
                       "--time",
                       "22",
                       "--clouds",
                       "1100",
                       "--flight",
                       "1",
                       "--random-route",
                       "1",
                       "--comment",
                       "Проверка связи\\nвторая строка",
                       "--seed",
                       "7"})
                  .Code,
              0);
    const fs::path out = sim.Root() / "card.svg";
    const TRunResult shown = sim.Cli({"show", "zelk0001.mis", "--card", out.string(), "--json"});
    ASSERT_EQ(shown.Code, 0) << shown.Err;
    const auto texts = SvgTexts(ReadFileBytes(out));
    const std::string mission = ReadFileBytes(sim.MissionDir() / "zelk0001.mis");
    const auto route = PlayerRoute(mission);
    ASSERT_EQ(route.size(), 4u);
    for (std::size_t i = 1; i < route.size(); ++i) {
        const double dx = route[i].X - route[i - 1].X, dy = route[i].Y - route[i - 1].Y;
        int heading = static_cast<int>(std::lround(std::atan2(dx, dy) * 180 / std::numbers::pi));
        heading = (heading % 360 + 360) % 360;
        const long tenths = std::lround(std::hypot(dx, dy) / 100);
        const std::string leg = std::to_string(i) + "→" + std::to_string(i + 1) + "  курс " + Padded(heading, 3) +
                                "°  " + std::to_string(tenths / 10) + "," + std::to_string(tenths % 10) +
                                " км  высота " + std::to_string(route[i].Altitude) + " м";
        EXPECT_TRUE(HasText(texts, leg)) << leg;
        if (route[i].Kind == "GATTACK") {
            EXPECT_TRUE(HasText(texts, "боевой курс " + Padded(heading, 3) + "°")) << heading;
        }
    }
    const std::string title = nlohmann::json::parse(shown.Out)["title"];
    EXPECT_TRUE(HasText(texts, title)) << title;
    for (const char* part :
         {"Время: 22:00", "Облачность: 1100 м", "Группа: Пара (самолетов: 2)", "Истребители противника: 2 × ",
          "Патруль противника: 2 × ", "Проверка связи", "Задание № 1 · zelk0001.mis", "ZELK " ZELK_VERSION})
        EXPECT_TRUE(HasText(texts, part)) << part;
}

TEST(CliCard, WritesPdfPagesAndPngFilesAndNeverReplacesTheSimulatorsFiles) {
    TSimFolder sim;
    const fs::path pdf = sim.Root() / "cards.pdf";
    const TRunResult made = sim.Cli({"new", "--random", "--count", "3", "--seed", "2", "--card", pdf.string()});
#ifdef ZELK_CARD_QT
    ASSERT_EQ(made.Code, 0) << made.Err;
    const std::string bytes = ReadFileBytes(pdf);
    EXPECT_EQ(bytes.rfind("%PDF", 0), 0u);
    const std::regex page("/Type\\s*/Page[^s]");
    EXPECT_EQ(std::distance(std::sregex_iterator(bytes.begin(), bytes.end(), page), std::sregex_iterator()), 3);

    const fs::path png = sim.Root() / "card.png";
    ASSERT_EQ(sim.Cli({"show", "zelk0002.mis", "--card", png.string(), "--page", "a4"}).Code, 0);
    EXPECT_EQ(ReadFileBytes(png).rfind("\x89PNG", 0), 0u);
    ASSERT_EQ(sim.Cli({"new", "--count", "2", "--card", png.string()}).Code, 0);
    EXPECT_TRUE(fs::exists(sim.Root() / "card-1.png") && fs::exists(sim.Root() / "card-2.png"));
#else
    // A build without Qt Gui says so and makes nothing.
    EXPECT_EQ(made.Code, 2);
    EXPECT_NE(made.Err.find(".svg"), std::string::npos) << made.Err;
    ASSERT_EQ(sim.Cli({"new", "--count", "2", "--card", (sim.Root() / "card.svg").string()}).Code, 0);
    EXPECT_TRUE(fs::exists(sim.Root() / "card-1.svg") && fs::exists(sim.Root() / "card-2.svg"));
#endif

    // Refused before anything is written.
    const auto before = Snapshot(sim.Root());
    for (const fs::path& bad : {sim.MissionDir() / "zelk0001.mis", sim.MissionDir() / "card.svg",
                                sim.DataDir() / "orvak_zelk.rc0", sim.Root() / "card.txt"}) {
        const TRunResult r = sim.Cli({"new", "--card", bad.string()});
        EXPECT_EQ(r.Code, 2) << bad << r.Err;
        EXPECT_NE(r.Err.find("--card"), std::string::npos) << r.Err;
    }
    EXPECT_EQ(Snapshot(sim.Root()), before);
}

// Every box inside the page, no two overlapping, every line within its box,
// for every target of the demo data, both sizes and both languages.
TEST(CardLayout, NothingOverlapsOrLeavesThePageForEveryDemoTarget) {
    const fs::path demo = fs::path(ZELK_BINARY_DIR) / "demo" / "sim" / "ZELK";
    const TRefData ref = LoadRefData(demo);
    ASSERT_FALSE(ref.Targets.Items.empty()) << demo;
    TTempDir temp;
    TMissionLibrary library;
    // The longest comment, all fighters and a full flight make the fullest card.
    std::vector<std::string> comment(8, std::string(120, 'w'));
    for (const auto& target : ref.Targets.Items) {
        const int index = library.NewMission(DefaultsFromRefData(ref));
        TMission& m = library.At(index);
        m.Data.Map = target->MapKey;
        m.Data.Target = target->Name;
        m.Data.Difficulty = 1;
        m.Data.Flight = 2;
        m.Data.Fighters = 4;
        SettleMission(m, ref);
        library.SaveMission(m.FileName, ref, temp.Path(), comment, 1);
    }
    {
        const TLanguageScope english(TLanguage::English);
        ASSERT_NE(Tr("card", "Маршрут"), "Маршрут") << "the English translation is not loaded";
    }
    for (const TLanguage language : {TLanguage::Russian, TLanguage::English}) {
        const TLanguageScope scope(language);
        for (const auto& m : library.Missions) {
            const TCardSource source = CardSourceOf(*m, temp.Path(), ref, "2026-12-09", "2.2");
            for (const TPageSize size : {TPageSize::A5, TPageSize::A4}) {
                const TCardLayout card = LayoutCard(source, &ref, size);
                const std::string what = Cp1251ToUtf8(m->Data.Target) + (size == TPageSize::A4 ? " A4" : " A5");
                for (std::size_t i = 0; i < card.Boxes.size(); ++i) {
                    const TCardRect& r = card.Boxes[i].Rect;
                    EXPECT_TRUE(r.X >= 0 && r.Y >= 0 && r.Right() <= card.Width && r.Bottom() <= card.Height &&
                                r.W > 0 && r.H > 0)
                        << what << " box " << i;
                    for (const auto& line : card.Boxes[i].Lines)
                        EXPECT_LE(CardTextWidth(line, card.Boxes[i].FontPt, card.Boxes[i].Bold, card.Boxes[i].Mono),
                                  r.W + 1e-6)
                            << what << ": " << line;
                    for (std::size_t k = i + 1; k < card.Boxes.size(); ++k) {
                        const TCardRect& o = card.Boxes[k].Rect;
                        const bool apart = r.Right() <= o.X + 1e-6 || o.Right() <= r.X + 1e-6 ||
                                           r.Bottom() <= o.Y + 1e-6 || o.Bottom() <= r.Y + 1e-6;
                        EXPECT_TRUE(apart) << what << ": boxes " << i << " and " << k;
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace zelk::test
