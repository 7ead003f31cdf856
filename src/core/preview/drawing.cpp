#include "preview/drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "data/codepage.h"

namespace zelk {

namespace {

constexpr double kHeader = 26;  // title line
constexpr double kFooter = 20;  // grid and scale line
constexpr double kMargin = 18;

const TRgb kPaper{246, 243, 234};
const TRgb kGrid{214, 208, 194};
const TRgb kInk{34, 34, 34};
const TRgb kRed{196, 38, 38};
const TRgb kBlue{38, 84, 196};
const TRgb kNeutral{110, 110, 110};
const TRgb kTarget{232, 126, 4};
const TRgb kBuilding{140, 98, 57};
const TRgb kWhite{255, 255, 255};

TRgb SideColour(int army) {
    if (army == 1) return kRed;
    if (army == 2) return kBlue;
    return kNeutral;
}

std::string Fixed(double v, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

class TPainter {
public:
    explicit TPainter(TDrawing& d) : d_(d) {}

    void Line(std::vector<TCanvasPoint> pts, TRgb colour, double width, bool dashed = false) {
        TShape s;
        s.Points = std::move(pts);
        s.Stroke = colour;
        s.StrokeWidth = width;
        s.Dashed = dashed;
        d_.Shapes.push_back(std::move(s));
    }
    void Polygon(std::vector<TCanvasPoint> pts, TRgb fill, TRgb stroke, double width = 1) {
        TShape s;
        s.Type = TShapeType::Polygon;
        s.Points = std::move(pts);
        s.Filled = true;
        s.Fill = fill;
        s.Stroke = stroke;
        s.StrokeWidth = width;
        d_.Shapes.push_back(std::move(s));
    }
    void Circle(TCanvasPoint c, double r, TRgb stroke, double width, bool filled, TRgb fill = {},
                bool dashed = false) {
        TShape s;
        s.Type = TShapeType::Circle;
        s.Points = {c};
        s.Radius = r;
        s.Stroke = stroke;
        s.StrokeWidth = width;
        s.Filled = filled;
        s.Fill = fill;
        s.Dashed = dashed;
        d_.Shapes.push_back(std::move(s));
    }
    void Text(TCanvasPoint at, std::string text, TRgb colour, double size, TTextAnchor anchor = TTextAnchor::Start,
              bool bold = false) {
        TShape s;
        s.Type = TShapeType::Text;
        s.Points = {at};
        s.Text = std::move(text);
        s.Stroke = colour;
        s.StrokeWidth = 0;
        s.FontSize = size;
        s.Anchor = anchor;
        s.Bold = bold;
        d_.Shapes.push_back(std::move(s));
    }
    void Square(TCanvasPoint c, double half, TRgb fill, TRgb stroke) {
        Polygon({{c.X - half, c.Y - half}, {c.X + half, c.Y - half}, {c.X + half, c.Y + half}, {c.X - half, c.Y + half}},
                fill, stroke);
    }
    // A shape given in a unit frame, turned by `heading` (compass degrees).
    void Turned(TCanvasPoint c, double heading, const std::vector<TCanvasPoint>& unit, TRgb fill, TRgb stroke) {
        const double a = heading * std::numbers::pi / 180.0;
        std::vector<TCanvasPoint> pts;
        for (const auto& p : unit) {
            // Unit frame: +Y is "ahead". Canvas y grows downwards.
            const double x = p.X * std::cos(a) + p.Y * std::sin(a);
            const double y = -p.X * std::sin(a) + p.Y * std::cos(a);
            pts.push_back({c.X + x, c.Y - y});
        }
        Polygon(std::move(pts), fill, stroke);
    }

private:
    TDrawing& d_;
};

struct TBounds {
    double MinX = 1e300, MinY = 1e300, MaxX = -1e300, MaxY = -1e300;
    void Add(const TMapPoint& p) {
        MinX = std::min(MinX, p.X);
        MinY = std::min(MinY, p.Y);
        MaxX = std::max(MaxX, p.X);
        MaxY = std::max(MaxY, p.Y);
    }
    bool Empty() const { return MinX > MaxX; }
};

// Grid spacing in metres that gives a handful of lines across `span`.
double GridStep(double span) {
    for (double step : {1000.0, 2000.0, 5000.0, 10000.0, 20000.0, 50000.0})
        if (span / step <= 12) return step;
    return 100000.0;
}

double HeadingOfPath(const std::vector<TMapPoint>& path) {
    return path.size() >= 2 ? CompassHeading(path[0], path[1]) : 0;
}

void DrawUnit(TPainter& p, const TDrawing& d, const TUnit& u) {
    if (u.Path.empty()) return;
    const TRgb side = SideColour(u.Army);
    const TCanvasPoint c = d.ToCanvas(u.Path.front());
    if (u.Path.size() > 1) {
        std::vector<TCanvasPoint> road;
        for (const auto& m : u.Path) road.push_back(d.ToCanvas(m));
        p.Line(std::move(road), side, u.Kind == TUnitKind::Train ? 2.5 : 1.5, u.Kind == TUnitKind::Ship);
    }
    if (u.IsTarget) p.Circle(c, 11, kTarget, 2.5, false);
    const double heading = u.Path.size() > 1 ? HeadingOfPath(u.Path) : u.Heading;
    switch (u.Kind) {
        case TUnitKind::Column:  // a column: a block with an arrow head
            p.Turned(c, heading, {{-4, -6}, {4, -6}, {4, 3}, {0, 8}, {-4, 3}}, side, kInk);
            break;
        case TUnitKind::Train:  // three wagons in a row
            for (int i = 0; i < 3; ++i)
                p.Turned(c, heading, {{-3, -4.0 - 7 * i}, {3, -4.0 - 7 * i}, {3, 2.0 - 7 * i}, {-3, 2.0 - 7 * i}},
                         side, kInk);
            break;
        case TUnitKind::Ship:  // a hull
            p.Turned(c, heading, {{-4, -9}, {4, -9}, {4, 4}, {0, 11}, {-4, 4}}, side, kInk);
            break;
        case TUnitKind::Tank:
            p.Square(c, 3.5, side, kInk);
            break;
        case TUnitKind::Flak:
            p.Polygon({{c.X, c.Y - 5}, {c.X + 5, c.Y + 4}, {c.X - 5, c.Y + 4}}, side, kInk);
            break;
        case TUnitKind::Light:
            p.Circle(c, 3, side, 1.5, true, kWhite);
            break;
        case TUnitKind::Vehicle:
            p.Square(c, 3, kWhite, side);
            break;
        case TUnitKind::Building:
            p.Square(c, 4, kBuilding, kInk);
            break;
        case TUnitKind::House:
            p.Square(c, 3, kGrid, kBuilding);
            break;
        case TUnitKind::Bridge:
            p.Line({{c.X - 6, c.Y - 3}, {c.X + 6, c.Y - 3}}, kBuilding, 2);
            p.Line({{c.X - 6, c.Y + 3}, {c.X + 6, c.Y + 3}}, kBuilding, 2);
            break;
    }
}

}  // namespace

TDrawing DrawSortie(const TSortie& s, std::string_view title, double width, double height) {
    TDrawing d;
    d.Width = width;
    d.Height = height;
    d.Background = kPaper;
    TPainter p(d);

    TBounds b;
    for (const auto& w : s.PlayerRoute) b.Add(w.At);
    for (const auto& w : s.EnemyPatrol) b.Add(w.At);
    for (const auto& u : s.Units)
        for (const auto& m : u.Path) b.Add(m);
    for (const auto& t : s.Targets) b.Add(t.At);
    if (b.Empty()) b.Add({0, 0});
    // At least 2 km each way, so a lone point still has a scale.
    const double cx = (b.MinX + b.MaxX) / 2, cy = (b.MinY + b.MaxY) / 2;
    const double spanX = std::max(b.MaxX - b.MinX, 2000.0), spanY = std::max(b.MaxY - b.MinY, 2000.0);
    const double areaW = std::max(width - 2 * kMargin, 1.0);
    const double areaH = std::max(height - kHeader - kFooter - 2 * kMargin, 1.0);
    d.Scale = std::min(areaW / spanX, areaH / spanY);
    const double midX = width / 2, midY = kHeader + kMargin + areaH / 2;
    d.OriginX = midX - cx * d.Scale;
    d.OriginY = midY + cy * d.Scale;

    // Kilometre grid over the whole canvas.
    const double step = GridStep(std::max(width, height) / d.Scale);
    const double left = -d.OriginX / d.Scale, right = (width - d.OriginX) / d.Scale;
    const double top = d.OriginY / d.Scale, bottom = (d.OriginY - height) / d.Scale;
    for (double x = std::ceil(left / step) * step; x <= right; x += step) {
        const double cxp = d.OriginX + x * d.Scale;
        p.Line({{cxp, kHeader}, {cxp, height - kFooter}}, kGrid, 1);
    }
    for (double y = std::ceil(bottom / step) * step; y <= top; y += step) {
        const double cyp = d.OriginY - y * d.Scale;
        if (cyp < kHeader || cyp > height - kFooter) continue;
        p.Line({{0, cyp}, {width, cyp}}, kGrid, 1);
    }

    for (const auto& f : s.Front) {
        const TCanvasPoint c = d.ToCanvas(f.At);
        if (c.X < 0 || c.X > width || c.Y < kHeader || c.Y > height - kFooter) continue;
        p.Circle(c, 3, SideColour(f.Army), 1, true, SideColour(f.Army));
    }
    for (const auto& t : s.Targets)
        p.Circle(d.ToCanvas(t.At), std::max(t.Radius * d.Scale, 6.0), kTarget, 1.5, false, {}, true);
    for (const auto& u : s.Units) DrawUnit(p, d, u);

    // The enemy fighters' patrol.
    if (!s.EnemyPatrol.empty()) {
        const TRgb enemy = SideColour(s.PlayerArmy == 1 ? 2 : s.PlayerArmy == 2 ? 1 : 0);
        std::vector<TCanvasPoint> pts;
        for (const auto& w : s.EnemyPatrol) pts.push_back(d.ToCanvas(w.At));
        p.Line(pts, enemy, 1.5, true);
        std::string label = W("Истребители: ") + s.EnemyClass;
        if (s.EnemyPlanes > 0) label += " x" + std::to_string(s.EnemyPlanes);
        label += ", " + std::to_string(s.EnemyPatrol.front().Altitude) + W(" м");
        p.Text({pts.front().X + 6, pts.front().Y - 6}, label, enemy, 10);
    }

    // The player's route, its points with their altitudes, the attack.
    if (!s.PlayerRoute.empty()) {
        std::vector<TCanvasPoint> pts;
        for (const auto& w : s.PlayerRoute) pts.push_back(d.ToCanvas(w.At));
        p.Line(pts, kWhite, 5);
        p.Line(pts, kInk, 2.5);
        for (std::size_t i = 0; i < pts.size(); ++i) {
            const auto& w = s.PlayerRoute[i];
            const bool attack = w.Kind == "GATTACK";
            if (i == 0) {
                p.Polygon({{pts[i].X, pts[i].Y - 8}, {pts[i].X + 7, pts[i].Y + 5}, {pts[i].X - 7, pts[i].Y + 5}},
                          kWhite, kInk, 2);
            } else {
                p.Circle(pts[i], attack ? 6 : 4, kInk, 2, true, attack ? kTarget : kWhite);
            }
            std::string label = std::to_string(i + 1) + ": " + std::to_string(w.Altitude) + W(" м");
            if (i == 0) label = W("Старт, ") + label;
            if (attack && i > 0)
                label += W(", атака, курс ") + std::to_string(CompassHeading(s.PlayerRoute[i - 1].At, w.At)) + "\xB0";
            p.Text({pts[i].X + 9, pts[i].Y + 4}, label, kInk, 11, TTextAnchor::Start, attack);
        }
    }

    // North, top right.
    const double nx = width - 22, ny = kHeader + 14;
    p.Polygon({{nx, ny - 10}, {nx + 6, ny + 8}, {nx, ny + 4}, {nx - 6, ny + 8}}, kInk, kInk);
    p.Text({nx, ny + 22}, W("С"), kInk, 12, TTextAnchor::Middle, true);

    // Title above, grid and scale below.
    p.Text({8, 18}, std::string(title), kInk, 13, TTextAnchor::Start, true);
    std::string footer = W("Сетка ") + Fixed(step / 1000.0, 0) + W(" км");
    if (s.Hour >= 0) footer += W(", время ") + std::to_string(s.Hour) + ":00";
    if (!s.PlayerClass.empty()) footer += ", " + s.PlayerClass;
    if (s.PlayerPlanes > 0) footer += " x" + std::to_string(s.PlayerPlanes);
    p.Text({8, height - 6}, footer, kInk, 10);
    const double bar = step * d.Scale;
    if (bar < width / 2) {
        p.Line({{width - 12 - bar, height - 8}, {width - 12, height - 8}}, kInk, 3);
        p.Text({width - 12 - bar / 2, height - 12}, Fixed(step / 1000.0, 0) + W(" км"), kInk, 9,
               TTextAnchor::Middle);
    }
    return d;
}

namespace {

std::string Colour(const TRgb& c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", c.R, c.G, c.B);
    return buf;
}

std::string Escaped(std::string_view utf8) {
    std::string out;
    for (char ch : utf8) {
        switch (ch) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default:
                // XML forbids most control characters even escaped.
                if (static_cast<unsigned char>(ch) >= 0x20 || ch == '\t') out += ch;
        }
    }
    return out;
}

std::string PointList(const std::vector<TCanvasPoint>& pts) {
    std::string out;
    for (const auto& pt : pts) {
        if (!out.empty()) out += ' ';
        out += Fixed(pt.X, 2) + "," + Fixed(pt.Y, 2);
    }
    return out;
}

std::string StrokeAttrs(const TShape& s) {
    if (s.StrokeWidth <= 0) return " stroke=\"none\"";
    std::string out = " stroke=\"" + Colour(s.Stroke) + "\" stroke-width=\"" + Fixed(s.StrokeWidth, 1) + "\"";
    if (s.Dashed) out += " stroke-dasharray=\"6 4\"";
    return out;
}

}  // namespace

std::string DrawingToSvg(const TDrawing& d) {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Fixed(d.Width, 0) + "\" height=\"" +
           Fixed(d.Height, 0) + "\" viewBox=\"0 0 " + Fixed(d.Width, 0) + " " + Fixed(d.Height, 0) +
           "\" font-family=\"DejaVu Sans, Arial, sans-serif\">\n";
    out += "<rect width=\"100%\" height=\"100%\" fill=\"" + Colour(d.Background) + "\"/>\n";
    for (const auto& s : d.Shapes) {
        switch (s.Type) {
            case TShapeType::Polyline:
                out += "<polyline points=\"" + PointList(s.Points) + "\" fill=\"none\"" + StrokeAttrs(s) +
                       " stroke-linejoin=\"round\"/>\n";
                break;
            case TShapeType::Polygon:
                out += "<polygon points=\"" + PointList(s.Points) + "\" fill=\"" +
                       (s.Filled ? Colour(s.Fill) : std::string("none")) + "\"" + StrokeAttrs(s) + "/>\n";
                break;
            case TShapeType::Circle:
                if (s.Points.empty()) break;
                out += "<circle cx=\"" + Fixed(s.Points[0].X, 2) + "\" cy=\"" + Fixed(s.Points[0].Y, 2) + "\" r=\"" +
                       Fixed(s.Radius, 2) + "\" fill=\"" + (s.Filled ? Colour(s.Fill) : std::string("none")) + "\"" +
                       StrokeAttrs(s) + "/>\n";
                break;
            case TShapeType::Text: {
                if (s.Points.empty()) break;
                const char* anchor = s.Anchor == TTextAnchor::Middle ? "middle"
                                     : s.Anchor == TTextAnchor::End  ? "end"
                                                                     : "start";
                out += "<text x=\"" + Fixed(s.Points[0].X, 2) + "\" y=\"" + Fixed(s.Points[0].Y, 2) +
                       "\" font-size=\"" + Fixed(s.FontSize, 0) + "\" fill=\"" + Colour(s.Stroke) +
                       "\" text-anchor=\"" + anchor + "\"" + (s.Bold ? " font-weight=\"bold\"" : "") + ">" +
                       Escaped(Cp1251ToUtf8(s.Text)) + "</text>\n";
                break;
            }
        }
    }
    out += "</svg>\n";
    return out;
}

}  // namespace zelk
