#pragma once
// The route preview as a list of plain shapes on a canvas: the core decides
// every line, symbol and label, and each front end only paints the shapes
// (QPainter in the window, SVG for zelk-cli), so all of them show the same.
#include <string>
#include <string_view>
#include <vector>

#include "preview/sortie.h"

namespace zelk {

struct TCanvasPoint {
    double X = 0;  // pixels from the left
    double Y = 0;  // pixels from the top
};

struct TRgb {
    unsigned char R = 0, G = 0, B = 0;
    bool operator==(const TRgb&) const = default;
};

enum class TShapeType { Polyline, Polygon, Circle, Text };
enum class TTextAnchor { Start, Middle, End };

struct TShape {
    TShapeType Type = TShapeType::Polyline;
    std::vector<TCanvasPoint> Points;  // a circle's centre; a text's anchor
    double Radius = 0;
    TRgb Stroke;
    double StrokeWidth = 1;  // 0: no outline
    bool Dashed = false;
    bool Filled = false;
    TRgb Fill;
    std::string Text;  // Windows-1251
    double FontSize = 11;
    TTextAnchor Anchor = TTextAnchor::Start;
    bool Bold = false;
};

// Map metres to canvas pixels: x grows east, y grows north (up).
struct TView {
    double Scale = 1;    // pixels per metre
    double OriginX = 0;  // canvas x of map x = 0
    double OriginY = 0;  // canvas y of map y = 0
    TCanvasPoint ToCanvas(const TMapPoint& p) const { return {OriginX + p.X * Scale, OriginY - p.Y * Scale}; }
};

struct TDrawing {
    double Width = 0;
    double Height = 0;
    TRgb Background;
    std::vector<TShape> Shapes;
    TView Map;    // the whole sortie
    TView Inset;  // the target area, enlarged in a corner (HasInset)
    bool HasInset = false;
    TCanvasPoint ToCanvas(const TMapPoint& p) const { return Map.ToCanvas(p); }
};

// The sortie to scale on a canvas of width x height pixels, with `title`
// (Windows-1251) above it: the player's route with its altitudes, the attack
// point and heading, the enemy patrol, the ground objects by kind, target
// marks, a kilometre grid and north.
TDrawing DrawSortie(const TSortie& sortie, std::string_view title, double width, double height);

// The drawing as a standalone SVG document, texts in UTF-8.
std::string DrawingToSvg(const TDrawing& drawing);

}  // namespace zelk
