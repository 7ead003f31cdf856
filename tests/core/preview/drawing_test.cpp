// The route preview against the mission file it draws: the points are read
// here from the written file with a reader of the test's own.
#include "preview/drawing.h"

#include <gtest/gtest.h>

#include <sstream>

#include "../generator/fixture.h"
#include "generator/writer.h"

namespace zelk::test {
namespace {

struct TFilePoint {
    double X, Y;
    int Altitude;
};

// The points of section [name] in the file: "KIND x y altitude ...".
std::vector<TFilePoint> WayPoints(const std::string& file, const std::string& name) {
    std::istringstream in(file);
    std::string line;
    std::vector<TFilePoint> out;
    bool inside = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == '[') {
            inside = line == "[" + name + "]";
            continue;
        }
        if (!inside) continue;
        std::istringstream words(line);
        std::string kind;
        TFilePoint p{};
        words >> kind >> p.X >> p.Y >> p.Altitude;
        out.push_back(p);
    }
    return out;
}

std::vector<TCanvasPoint> PolylineWith(const TDrawing& d, std::size_t count, const TRgb& colour, bool dashed) {
    for (const auto& s : d.Shapes)
        if (s.Type == TShapeType::Polyline && s.Points.size() == count && s.Stroke == colour && s.Dashed == dashed)
            return s.Points;
    return {};
}

TEST(RouteDrawing, FollowsThePointsWrittenIntoTheMissionFile) {
    TWorld world;
    TMission m = BaseMission();
    m.Data.Target = W("Колонна: танки синих, Топливный поезд, Essex и Akagi");
    m.Data.RandomRoute = true;
    m.Data.Fighters = 2;
    m.Data.Time = 22;
    SaveMissionFiles(m, world.Ref, world.Missions, {}, 4242);
    std::string file;
    ASSERT_TRUE(TSaveFileSystem().ReadFile(world.Missions / m.FileName, file));

    const auto route = WayPoints(file, "r0100_Way");
    const auto patrol =
        WayPoints(file, "g0100_Way").empty() ? WayPoints(file, "ja0100_Way") : WayPoints(file, "g0100_Way");
    ASSERT_EQ(route.size(), 4u);
    ASSERT_EQ(patrol.size(), 6u);

    const TSortie sortie = ReadSortie(file);
    ASSERT_EQ(sortie.PlayerRoute.size(), 4u);
    EXPECT_EQ(sortie.PlayerRoute[1].Kind, "GATTACK");
    EXPECT_EQ(sortie.EnemyPlanes, 2);
    ASSERT_FALSE(sortie.Units.empty());
    EXPECT_EQ(sortie.Units[0].Kind, TUnitKind::Column);
    EXPECT_EQ(sortie.Units[2].Kind, TUnitKind::Ship);
    EXPECT_EQ(sortie.Units[3].Kind, TUnitKind::Train);

    const TDrawing d = DrawSortie(sortie, m.Name, 800, 600);
    const auto drawnRoute = PolylineWith(d, 4, TRgb{34, 34, 34}, false);
    const auto drawnPatrol = PolylineWith(d, 6, TRgb{38, 84, 196}, true);
    ASSERT_EQ(drawnRoute.size(), 4u);
    ASSERT_EQ(drawnPatrol.size(), 6u);
    for (std::size_t i = 0; i < route.size(); ++i) {
        EXPECT_EQ(sortie.PlayerRoute[i].Altitude, route[i].Altitude);
        const TCanvasPoint c = d.ToCanvas({route[i].X, route[i].Y});
        EXPECT_NEAR(drawnRoute[i].X, c.X, 1e-9);
        EXPECT_NEAR(drawnRoute[i].Y, c.Y, 1e-9);
        // Everything the route passes lies on the canvas.
        EXPECT_GE(c.X, 0);
        EXPECT_LE(c.X, 800);
        EXPECT_GE(c.Y, 0);
        EXPECT_LE(c.Y, 600);
    }
    for (std::size_t i = 0; i < patrol.size(); ++i) {
        const TCanvasPoint c = d.ToCanvas({patrol[i].X, patrol[i].Y});
        EXPECT_NEAR(drawnPatrol[i].X, c.X, 1e-9);
        EXPECT_NEAR(drawnPatrol[i].Y, c.Y, 1e-9);
    }
    // To scale with north up: one metre east is as long as one metre north.
    const TCanvasPoint o = d.ToCanvas({0, 0}), e = d.ToCanvas({1000, 0}), n = d.ToCanvas({0, 1000});
    EXPECT_NEAR(e.X - o.X, o.Y - n.Y, 1e-9);
    EXPECT_GT(e.X, o.X);
    EXPECT_LT(n.Y, o.Y);
}

TEST(RouteDrawing, SvgCarriesTheShapesAndEscapesTheTitle) {
    const std::string file =
        "[MAIN]\r\n  MAP Island/load.ini\r\n  player r0100\r\n  army 1\r\n[Wing]\r\n  r0100\r\n[r0100_Way]\r\n"
        "  NORMFLY 1000.00 2000.00 500 300.00 &0\r\n  GATTACK 3000.00 2000.00 500 300.00 &0\r\n";
    const TDrawing d = DrawSortie(ReadSortie(file), "<a & \"b\">", 400, 300);
    const std::string svg = DrawingToSvg(d);
    const TCanvasPoint a = d.ToCanvas({1000, 2000}), b = d.ToCanvas({3000, 2000});
    char expected[128];
    std::snprintf(expected, sizeof expected, "points=\"%.2f,%.2f %.2f,%.2f\"", a.X, a.Y, b.X, b.Y);
    EXPECT_NE(svg.find(expected), std::string::npos) << svg;
    EXPECT_NE(svg.find("&lt;a &amp; &quot;b&quot;&gt;"), std::string::npos);
    EXPECT_EQ(svg.find("<a &"), std::string::npos);
    // The attack heading: due east.
    EXPECT_NE(svg.find(U8(W("курс 90°"))), std::string::npos);

    // Coordinates no map has, from an edited file: still a handful of grid
    // lines, not a loop that never ends.
    const TDrawing far = DrawSortie(ReadSortie(file + "  NORMFLY 1e20 -1e20 500 300.00 &0\r\n"), "", 400, 300);
    EXPECT_LT(far.Shapes.size(), 100u);
    // Ground objects that far out, in the target corner: whole steps there
    // differ by less than one.
    const TDrawing farGround = DrawSortie(
        ReadSortie(file + "[NStationary]\r\n  1_Static vehicles.artillery.Artillery$Flak30_20mm 2 3e20 3e20 0 0\r\n"),
        "", 400, 300);
    EXPECT_LT(farGround.Shapes.size(), 200u);
}

// A file of hundreds of thousands of points draws what a mission of ours
// could hold, not a drawing of hundreds of megabytes.
TEST(RouteDrawing, AFileOfCountlessPointsDrawsBounded) {
    std::string file = "[Chiefs]\r\n  0_Chief Armor.x 1\r\n[0_Chief_Road]\r\n";
    for (int i = 0; i < 200000; ++i) file += "  " + std::to_string(1000 + i) + ".00 2000.00 120.00\r\n";
    const std::string svg = DrawingToSvg(DrawSortie(ReadSortie(file), "x", 800, 600));
    EXPECT_LT(svg.size(), 1000000u);
}

// Labels of points near either edge, on a canvas as small as the window's
// picture and as large as its large view: every text stays on the canvas
// and clear of the enlarged target corner.
TEST(RouteDrawing, TextsStayOnTheCanvasAndOffTheInset) {
    const std::string file =
        "[MAIN]\r\n  MAP Island/load.ini\r\n  player r0100\r\n  army 1\r\n[Wing]\r\n  r0100\r\n[r0100_Way]\r\n"
        "  NORMFLY 60000.00 30000.00 2500 300.00 &0\r\n  GATTACK 0.00 15000.00 2500 300.00 &0\r\n"
        "  NORMFLY 20000.00 30000.00 2500 300.00 &0\r\n  NORMFLY 58000.00 28000.00 2500 300.00 &0\r\n"
        "[NStationary]\r\n  1_Static vehicles.artillery.Artillery$Flak30_20mm 2 100 14900 0 0\r\n"
        "  2_Static vehicles.artillery.Artillery$Flak30_20mm 2 400 15300 0 0\r\n";
    for (const auto& [w, h] : {std::pair{276.0, 206.0}, std::pair{800.0, 600.0}}) {
        const TDrawing d = DrawSortie(ReadSortie(file), W("Штурмовка - Колонна: танки синих"), w, h);
        ASSERT_TRUE(d.HasInset);
        // The inset is the last filled rectangle drawn before the texts over it.
        TCanvasPoint inset0{1e9, 1e9}, inset1{-1e9, -1e9};
        for (const auto& s : d.Shapes)
            if (s.Type == TShapeType::Polygon && s.Points.size() == 4 && s.Fill == d.Background)
                for (const auto& p : s.Points) {
                    inset0 = {std::min(inset0.X, p.X), std::min(inset0.Y, p.Y)};
                    inset1 = {std::max(inset1.X, p.X), std::max(inset1.Y, p.Y)};
                }
        for (const auto& s : d.Shapes) {
            if (s.Type != TShapeType::Text) continue;
            // Wide enough for the faces that draw the drawings.
            const double width = s.Text.size() * s.FontSize * 0.55;
            double x0 = s.Points[0].X;
            if (s.Anchor == TTextAnchor::Middle) x0 -= width / 2;
            if (s.Anchor == TTextAnchor::End) x0 -= width;
            EXPECT_GE(x0, 0) << s.Text << " at " << w;
            EXPECT_LE(x0 + width, w) << s.Text << " at " << w;
            const bool inInset =
                x0 >= inset0.X && x0 <= inset1.X && s.Points[0].Y >= inset0.Y && s.Points[0].Y <= inset1.Y;
            // Only the inset's own caption lies inside it.
            if (inInset) {
                EXPECT_TRUE(s.Text.find(W("сетка")) != std::string::npos ||
                            s.Text.find(W("Район цели")) != std::string::npos)
                    << s.Text << " at " << w;
            }
        }
    }
}

}  // namespace
}  // namespace zelk::test
