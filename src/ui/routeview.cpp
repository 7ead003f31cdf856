#include "routeview.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include "generator/writer.h"
#include "mainform.h"

namespace zelk {

namespace {

QColor Colour(const TRgb& c) { return QColor(c.R, c.G, c.B); }

QPolygonF Points(const TShape& s) {
    QPolygonF out;
    for (const auto& p : s.Points) out << QPointF(p.X, p.Y);
    return out;
}

void SetPen(QPainter& painter, const TShape& s) {
    if (s.StrokeWidth <= 0) {
        painter.setPen(Qt::NoPen);
        return;
    }
    QPen pen(Colour(s.Stroke), s.StrokeWidth);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    // The SVG dashes are 6 and 4 pixels; Qt counts in pen widths.
    if (s.Dashed) pen.setDashPattern({6.0 / s.StrokeWidth, 4.0 / s.StrokeWidth});
    painter.setPen(pen);
}

}  // namespace

QImage PaintDrawing(const TDrawing& d) {
    QImage image(static_cast<int>(d.Width), static_cast<int>(d.Height), QImage::Format_RGB32);
    image.fill(Colour(d.Background));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const auto& s : d.Shapes) {
        SetPen(painter, s);
        painter.setBrush(s.Filled ? QBrush(Colour(s.Fill)) : QBrush(Qt::NoBrush));
        switch (s.Type) {
            case TShapeType::Polyline:
                painter.drawPolyline(Points(s));
                break;
            case TShapeType::Polygon:
                painter.drawPolygon(Points(s));
                break;
            case TShapeType::Circle:
                if (!s.Points.empty()) painter.drawEllipse(QPointF(s.Points[0].X, s.Points[0].Y), s.Radius, s.Radius);
                break;
            case TShapeType::Text: {
                if (s.Points.empty()) break;
                QFont font(QStringLiteral("DejaVu Sans"));
                font.setPixelSize(static_cast<int>(s.FontSize));
                font.setBold(s.Bold);
                painter.setFont(font);
                painter.setPen(Colour(s.Stroke));
                const QString text = FromCp1251(s.Text);
                const double w = QFontMetricsF(font).horizontalAdvance(text);
                double x = s.Points[0].X;
                if (s.Anchor == TTextAnchor::Middle) x -= w / 2;
                if (s.Anchor == TTextAnchor::End) x -= w;
                painter.drawText(QPointF(x, s.Points[0].Y), text);
                break;
            }
        }
    }
    return image;
}

TSortie PreviewSortie(const TMission& mission, const TRefData& ref, const std::filesystem::path& missionFolder) {
    if (!mission.IsUnsaved()) {
        std::string bytes;
        if (TSaveFileSystem().ReadFile(missionFolder / mission.FileName, bytes)) return ReadSortie(bytes);
    }
    return ReadSortie(
        BuildMissionFiles(mission, ref, {}, mission.NextSeed.value_or(static_cast<std::uint64_t>(mission.Number)))
            .MissionBytes);
}

}  // namespace zelk
