#include "preview/drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "data/codepage.h"
#include "text/tr.h"

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
    void Circle(TCanvasPoint c, double r, TRgb stroke, double width, bool filled, TRgb fill = {}, bool dashed = false) {
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
        Polygon(
            {{c.X - half, c.Y - half}, {c.X + half, c.Y - half}, {c.X + half, c.Y + half}, {c.X - half, c.Y + half}},
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
    // Coordinates no map has (an edited file): a power of ten keeps it a handful.
    if (!std::isfinite(span)) return 1e300;
    return std::pow(10.0, std::ceil(std::log10(std::max(span / 12, 1.0))));
}

double HeadingOfPath(const std::vector<TMapPoint>& path) {
    return path.size() >= 2 ? CompassHeading(path[0], path[1]) : 0;
}

void DrawUnit(TPainter& p, const TView& v, const TUnit& u) {
    if (u.Path.empty()) return;
    const TRgb side = SideColour(u.Army);
    const TCanvasPoint c = v.ToCanvas(u.Path.front());
    if (u.Path.size() > 1) {
        std::vector<TCanvasPoint> road;
        for (const auto& m : u.Path) road.push_back(v.ToCanvas(m));
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
                p.Turned(c, heading, {{-3, -4.0 - 7 * i}, {3, -4.0 - 7 * i}, {3, 2.0 - 7 * i}, {-3, 2.0 - 7 * i}}, side,
                         kInk);
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

struct TBox {
    double X0, Y0, X1, Y1;  // canvas pixels
    bool Holds(const TCanvasPoint& c) const { return c.X >= X0 && c.X <= X1 && c.Y >= Y0 && c.Y <= Y1; }
};

// The view that fits `b` (grown to at least `minSpan` metres) into `box`.
TView Fit(const TBounds& b, double minSpan, const TBox& box) {
    const double cx = (b.MinX + b.MaxX) / 2, cy = (b.MinY + b.MaxY) / 2;
    const double spanX = std::max(b.MaxX - b.MinX, minSpan), spanY = std::max(b.MaxY - b.MinY, minSpan);
    TView v;
    v.Scale = std::min(std::max(box.X1 - box.X0, 1.0) / spanX, std::max(box.Y1 - box.Y0, 1.0) / spanY);
    v.OriginX = (box.X0 + box.X1) / 2 - cx * v.Scale;
    v.OriginY = (box.Y0 + box.Y1) / 2 + cy * v.Scale;
    return v;
}

void Grid(TPainter& p, const TView& v, const TBox& box, double step) {
    const double left = (box.X0 - v.OriginX) / v.Scale, right = (box.X1 - v.OriginX) / v.Scale;
    const double top = (v.OriginY - box.Y0) / v.Scale, bottom = (v.OriginY - box.Y1) / v.Scale;
    // Whole multiples of the step, counted, so that no rounding can loop.
    auto lines = [step](double from, double to, auto&& draw) {
        const double first = std::ceil(from / step), last = std::floor(to / step);
        if (!std::isfinite(first) || !std::isfinite(last) || last - first > 100) return;
        // Counted by an integer: far from zero, first + 1 can equal first.
        const int count = static_cast<int>(last - first);
        for (int i = 0; i <= count; ++i) draw((first + i) * step);
    };
    lines(left, right, [&](double x) {
        const double cx = v.OriginX + x * v.Scale;
        p.Line({{cx, box.Y0}, {cx, box.Y1}}, kGrid, 1);
    });
    lines(bottom, top, [&](double y) {
        const double cy = v.OriginY - y * v.Scale;
        p.Line({{box.X0, cy}, {box.X1, cy}}, kGrid, 1);
    });
}

// A text's width in pixels, estimated without a font at hand: wide enough
// for the faces that draw it (Cyrillic letters run wider than Latin ones).
double TextWidth(std::string_view text, double size, bool bold) { return text.size() * size * (bold ? 0.66 : 0.6); }

// A label beside a point, on the side away from the canvas edge it is near,
// and moved in from the edge as far as its width needs.
struct TLabel {
    TCanvasPoint At;  // the text's left end, on its baseline
    std::string Text;
    double Size = 11;
    bool Bold = false;
    TRgb Colour = kInk;

    TBox Box() const { return {At.X - 2, At.Y - Size, At.X + TextWidth(Text, Size, Bold) + 2, At.Y + 3}; }
};

TLabel PlaceLabel(const TCanvasPoint& at, std::string text, double width, double size, bool bold = false,
                  TRgb colour = kInk) {
    const double w = TextWidth(text, size, bold);
    double x = at.X > width / 2 ? at.X - 9 - w : at.X + 9;
    x = std::max(4.0, std::min(x, width - 4 - w));
    return {{x, at.Y + 4}, std::move(text), size, bold, colour};
}

void Draw(TPainter& p, const TLabel& l) { p.Text(l.At, l.Text, l.Colour, l.Size, TTextAnchor::Start, l.Bold); }

}  // namespace

TDrawing DrawSortie(const TSortie& s, std::string_view title, double width, double height) {
    TDrawing d;
    d.Width = width;
    d.Height = height;
    d.Background = kPaper;
    TPainter p(d);

    // The right-hand margin keeps the north mark clear of the route.
    const TBox area{kMargin, kHeader + kMargin, width - kMargin - 22, height - kFooter - kMargin};
    TBounds b;
    for (const auto& w : s.PlayerRoute) b.Add(w.At);
    for (const auto& w : s.EnemyPatrol) b.Add(w.At);
    TBounds ground;
    for (const auto& u : s.Units)
        for (const auto& m : u.Path) ground.Add(m);
    for (const auto& t : s.Targets) ground.Add(t.At);
    if (!ground.Empty()) {
        b.Add({ground.MinX, ground.MinY});
        b.Add({ground.MaxX, ground.MaxY});
    }
    if (b.Empty()) b.Add({0, 0});
    // At least 2 km each way, so a lone point still has a scale.
    d.Map = Fit(b, 2000, area);
    const TView& v = d.Map;

    const double step = GridStep(std::max(width, height) / v.Scale);
    Grid(p, v, {0, kHeader, width, height - kFooter}, step);

    for (const auto& f : s.Front) {
        const TCanvasPoint c = v.ToCanvas(f.At);
        if (c.X < 0 || c.X > width || c.Y < kHeader || c.Y > height - kFooter) continue;
        p.Circle(c, 3, SideColour(f.Army), 1, true, SideColour(f.Army));
    }

    // The labels of the route and the patrol, placed first: the inset keeps
    // clear of them, and they are drawn over everything else.
    std::vector<TLabel> labels;
    const TRgb enemy = SideColour(s.PlayerArmy == 1 ? 2 : s.PlayerArmy == 2 ? 1 : 0);
    if (!s.EnemyPatrol.empty()) {
        std::string label = W(Tr("preview", "Истребители: ")) + s.EnemyClass;
        if (s.EnemyPlanes > 0) label += " x" + std::to_string(s.EnemyPlanes);
        label += ", " + std::to_string(s.EnemyPatrol.front().Altitude) + W(Tr("preview", " м"));
        TCanvasPoint at = v.ToCanvas(s.EnemyPatrol.front().At);
        for (const auto& w : s.EnemyPatrol) at.Y = std::min(at.Y, v.ToCanvas(w.At).Y);  // above the patrol
        labels.push_back(PlaceLabel({at.X, std::max(at.Y - 12, kHeader + 12)}, label, width, 10, false, enemy));
    }
    for (std::size_t i = 0; i < s.PlayerRoute.size(); ++i) {
        const auto& w = s.PlayerRoute[i];
        const bool attack = w.Kind == "GATTACK";
        std::string label = std::to_string(i + 1) + ": " + std::to_string(w.Altitude) + W(Tr("preview", " м"));
        if (i == 0) label = W(Tr("preview", "Старт, ")) + label;
        if (attack && i > 0)
            label += W(Tr("preview", ", атака, курс ")) +
                     std::to_string(CompassHeading(s.PlayerRoute[i - 1].At, w.At)) + "\xB0";
        labels.push_back(PlaceLabel(v.ToCanvas(w.At), label, width, 11, attack));
    }

    // The ground objects get a corner of their own, enlarged, when the sortie
    // is so large that they would crowd into a few pixels: the corner the
    // route crosses least.
    const double groundPixels =
        ground.Empty() ? 0 : std::max(ground.MaxX - ground.MinX, ground.MaxY - ground.MinY) * v.Scale;
    TBox inset{};
    if (!ground.Empty() && groundPixels < std::min(width, height) / 4) {
        const double iw = width * 0.38, ih = (height - kHeader - kFooter) * 0.45;
        const TBox corners[] = {{width - iw - 6, height - kFooter - ih - 6, width - 6, height - kFooter - 6},
                                {6, height - kFooter - ih - 6, 6 + iw, height - kFooter - 6},
                                {width - iw - 6, kHeader + 6, width - 6, kHeader + 6 + ih},
                                {6, kHeader + 6, 6 + iw, kHeader + 6 + ih}};
        std::vector<TCanvasPoint> crowd;
        for (const auto& w : s.PlayerRoute) crowd.push_back(v.ToCanvas(w.At));
        for (const auto& w : s.EnemyPatrol) crowd.push_back(v.ToCanvas(w.At));
        crowd.push_back(v.ToCanvas({(ground.MinX + ground.MaxX) / 2, (ground.MinY + ground.MaxY) / 2}));
        // Sample the route's legs too, not only its points.
        for (std::size_t i = 1; i < s.PlayerRoute.size(); ++i)
            for (int k = 1; k < 8; ++k) {
                const auto a = v.ToCanvas(s.PlayerRoute[i - 1].At), c = v.ToCanvas(s.PlayerRoute[i].At);
                crowd.push_back({a.X + (c.X - a.X) * k / 8, a.Y + (c.Y - a.Y) * k / 8});
            }
        for (const TLabel& l : labels) {
            const TBox b = l.Box();
            for (int k = 0; k <= 4; ++k) {
                crowd.push_back({b.X0 + (b.X1 - b.X0) * k / 4, b.Y0});
                crowd.push_back({b.X0 + (b.X1 - b.X0) * k / 4, b.Y1});
            }
        }
        int best = -1, bestCount = 0;
        for (int i = 0; i < 4; ++i) {
            const int count = static_cast<int>(
                std::count_if(crowd.begin(), crowd.end(), [&](const TCanvasPoint& c) { return corners[i].Holds(c); }));
            if (best < 0 || count < bestCount) best = i, bestCount = count;
        }
        inset = corners[best];
        d.HasInset = true;
    }

    for (const auto& t : s.Targets)
        p.Circle(v.ToCanvas(t.At), std::max(t.Radius * v.Scale, 6.0), kTarget, 1.5, false, {}, true);
    if (d.HasInset) {
        // The target area's outline on the map, drawn again in the corner.
        const auto a = v.ToCanvas({ground.MinX, ground.MaxY}), c = v.ToCanvas({ground.MaxX, ground.MinY});
        p.Line({{a.X - 4, a.Y - 4}, {c.X + 4, a.Y - 4}, {c.X + 4, c.Y + 4}, {a.X - 4, c.Y + 4}, {a.X - 4, a.Y - 4}},
               kTarget, 1.5);
    } else {
        for (const auto& u : s.Units) DrawUnit(p, v, u);
    }

    // The enemy fighters' patrol.
    if (!s.EnemyPatrol.empty()) {
        std::vector<TCanvasPoint> pts;
        for (const auto& w : s.EnemyPatrol) pts.push_back(v.ToCanvas(w.At));
        p.Line(pts, enemy, 1.5, true);
    }

    // The player's route, its points with their altitudes, the attack.
    if (!s.PlayerRoute.empty()) {
        std::vector<TCanvasPoint> pts;
        for (const auto& w : s.PlayerRoute) pts.push_back(v.ToCanvas(w.At));
        p.Line(pts, kInk, 2.5);
        // Which way each leg is flown.
        for (std::size_t i = 1; i < pts.size(); ++i) {
            const TCanvasPoint mid{(pts[i - 1].X + pts[i].X) / 2, (pts[i - 1].Y + pts[i].Y) / 2};
            p.Turned(mid, CompassHeading(s.PlayerRoute[i - 1].At, s.PlayerRoute[i].At), {{-5, -5}, {0, 6}, {5, -5}},
                     kInk, kInk);
        }
        for (std::size_t i = 0; i < pts.size(); ++i) {
            const auto& w = s.PlayerRoute[i];
            const bool attack = w.Kind == "GATTACK";
            if (i == 0) {
                p.Polygon({{pts[i].X, pts[i].Y - 8}, {pts[i].X + 7, pts[i].Y + 5}, {pts[i].X - 7, pts[i].Y + 5}},
                          kWhite, kInk, 2);
            } else {
                p.Circle(pts[i], attack ? 6 : 4, kInk, 2, true, attack ? kTarget : kWhite);
            }
        }
    }

    if (d.HasInset) {
        p.Polygon({{inset.X0, inset.Y0}, {inset.X1, inset.Y0}, {inset.X1, inset.Y1}, {inset.X0, inset.Y1}}, kPaper,
                  kInk, 1.5);
        const TBox inner{inset.X0 + 20, inset.Y0 + 30, inset.X1 - 20, inset.Y1 - 18};
        d.Inset = Fit(ground, 1000, inner);
        const double insetStep =
            d.Inset.Scale * 500 >= 40 ? 500 : GridStep(std::max(inner.X1 - inner.X0, 1.0) / d.Inset.Scale);
        Grid(p, d.Inset, {inset.X0 + 1, inset.Y0 + 16, inset.X1 - 1, inset.Y1 - 1}, insetStep);
        for (const auto& t : s.Targets)
            p.Circle(d.Inset.ToCanvas(t.At), std::max(t.Radius * d.Inset.Scale, 6.0), kTarget, 1.5, false, {}, true);
        for (const auto& u : s.Units) DrawUnit(p, d.Inset, u);
        const std::string area = W(Tr("preview", "Район цели"));
        const std::string grid =
            W(Tr("preview", "сетка ")) + (insetStep < 1000
                                              ? std::to_string(static_cast<int>(insetStep)) + W(Tr("preview", " м"))
                                              : Fixed(insetStep / 1000.0, 0) + W(Tr("preview", " км")));
        // One line where it fits, else the grid on a line of its own.
        if (TextWidth(area + ", " + grid, 10, true) <= inset.X1 - inset.X0 - 12) {
            p.Text({inset.X0 + 6, inset.Y0 + 13}, area + ", " + grid, kInk, 10, TTextAnchor::Start, true);
        } else {
            p.Text({inset.X0 + 6, inset.Y0 + 12}, area, kInk, 9, TTextAnchor::Start, true);
            p.Text({inset.X0 + 6, inset.Y0 + 23}, grid, kInk, 9);
        }
    }
    for (const TLabel& l : labels) Draw(p, l);

    // North, top right.
    const double nx = width - 22, ny = kHeader + 14;
    p.Polygon({{nx, ny - 10}, {nx + 6, ny + 8}, {nx, ny + 4}, {nx - 6, ny + 8}}, kInk, kInk);
    p.Text({nx, ny + 22}, W(Tr("preview", "С")), kInk, 12, TTextAnchor::Middle, true);

    // Title above, grid and scale below.
    // The title in a smaller face where the canvas is too narrow for it,
    // clear of the north mark.
    const double titleSize = std::max(8.0, std::min(13.0, 13.0 * (width - 40) / TextWidth(title, 13, true)));
    p.Text({8, 18}, std::string(title), kInk, titleSize, TTextAnchor::Start, true);
    std::string footer = W(Tr("preview", "Сетка ")) + Fixed(step / 1000.0, 0) + W(Tr("preview", " км"));
    if (s.Hour >= 0) footer += W(Tr("preview", ", время ")) + std::to_string(s.Hour) + ":00";
    if (!s.PlayerClass.empty()) footer += ", " + s.PlayerClass;
    if (s.PlayerPlanes > 0) footer += " x" + std::to_string(s.PlayerPlanes);
    p.Text({8, height - 6}, footer, kInk, 10);
    // The scale bar beside the footer where there is room, else above it.
    const double bar = step * v.Scale;
    if (bar < width / 2) {
        const bool beside = 8 + TextWidth(footer, 10, false) + 12 < width - 12 - bar;
        const double y = beside ? height - 8 : height - kFooter - 4;
        p.Line({{width - 12 - bar, y}, {width - 12, y}}, kInk, 3);
        p.Text({width - 12 - bar / 2, y - 4}, Fixed(step / 1000.0, 0) + W(Tr("preview", " км")), kInk, 9,
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
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
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
