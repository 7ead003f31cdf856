#include "paintcard.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPdfWriter>
#include <QPolygonF>

#include "data/codepage.h"

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

QString FromCp(const std::string& cp1251) { return QString::fromStdString(Cp1251ToUtf8(cp1251)); }

}  // namespace

void PaintDrawingShapes(QPainter& painter, const TDrawing& d) {
    painter.save();
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
                const QString text = FromCp(s.Text);
                const double w = QFontMetricsF(font, painter.device()).horizontalAdvance(text);
                double x = s.Points[0].X;
                if (s.Anchor == TTextAnchor::Middle) x -= w / 2;
                if (s.Anchor == TTextAnchor::End) x -= w;
                painter.drawText(QPointF(x, s.Points[0].Y), text);
                break;
            }
        }
    }
    painter.restore();
}

void PaintCard(QPainter& painter, const TCardLayout& card, double k) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const TCardBox& b : card.Boxes) {
        const QRectF r(b.Rect.X * k, b.Rect.Y * k, b.Rect.W * k, b.Rect.H * k);
        if (b.Kind == TCardBoxKind::Route && card.Route.Width > 0 && card.Route.Height > 0) {
            painter.save();
            painter.setClipRect(r);
            const double scale = std::min(r.width() / card.Route.Width, r.height() / card.Route.Height);
            painter.translate(r.center().x() - card.Route.Width * scale / 2,
                              r.center().y() - card.Route.Height * scale / 2);
            painter.scale(scale, scale);
            painter.fillRect(QRectF(0, 0, card.Route.Width, card.Route.Height), Colour(card.Route.Background));
            PaintDrawingShapes(painter, card.Route);
            painter.restore();
            painter.setPen(QPen(Qt::black, 0.3 * k));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(r);
        }
        if (b.Kind == TCardBoxKind::Photo && card.Photo && card.Photo->Width > 0) {
            const TImage& p = *card.Photo;
            const QImage image(p.Rgb.data(), p.Width, p.Height, p.Width * 3, QImage::Format_RGB888);
            const QSizeF fitted = QSizeF(p.Width, p.Height).scaled(r.size(), Qt::KeepAspectRatio);
            painter.drawImage(QRectF(r.x() + (r.width() - fitted.width()) / 2,
                                     r.y() + (r.height() - fitted.height()) / 2, fitted.width(), fitted.height()),
                              image);
        }
        if (b.Kind == TCardBoxKind::Frame) {
            QPen pen(Qt::black, 0.4 * k, Qt::DashLine);
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(r);
        }
        const double inset = b.Kind == TCardBoxKind::Frame ? 2 * k : 0;
        QFont font(b.Mono ? QStringLiteral("DejaVu Sans Mono") : QStringLiteral("DejaVu Sans"));
        if (b.Mono) font.setStyleHint(QFont::Monospace);
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(b.FontPt * 25.4 / 72.0 * k))));
        font.setBold(b.Bold);
        const double line = CardLineHeight(b.FontPt) * k;
        const double room = r.width() - 2 * inset;
        painter.setPen(Qt::black);
        for (std::size_t i = 0; i < b.Lines.size(); ++i) {
            const QString text = QString::fromStdString(b.Lines[i]);
            QFont f = font;
            const double w = QFontMetricsF(f, painter.device()).horizontalAdvance(text);
            // The layout's estimate errs wide; a font that runs wider is narrowed.
            if (w > room && w > 0) f.setStretch(std::max(50, static_cast<int>(100.0 * room / w)));
            painter.setFont(f);
            painter.drawText(QPointF(r.x() + inset, r.y() + inset + line * static_cast<double>(i) + line * 0.78), text);
        }
    }
    painter.restore();
}

QImage CardImage(const TCardLayout& card, double dpi) {
    const double k = dpi / 25.4;
    QImage image(static_cast<int>(std::lround(card.Width * k)), static_cast<int>(std::lround(card.Height * k)),
                 QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setDotsPerMeterX(static_cast<int>(std::lround(k * 1000)));
    image.setDotsPerMeterY(static_cast<int>(std::lround(k * 1000)));
    QPainter painter(&image);
    PaintCard(painter, card, k);
    return image;
}

QByteArray CardsPdf(const std::vector<TCardLayout>& cards, QString* error) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setCreator(QStringLiteral("ZELK"));
        pdf.setResolution(600);
        const bool a4 = !cards.empty() && cards.front().Width > 200;
        pdf.setPageSize(QPageSize(a4 ? QPageSize::A4 : QPageSize::A5));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter;
        if (!painter.begin(&pdf)) {
            if (error) *error = QStringLiteral("QPdfWriter");
            return {};
        }
        const double k = pdf.resolution() / 25.4;
        for (std::size_t i = 0; i < cards.size(); ++i) {
            if (i > 0) pdf.newPage();
            PaintCard(painter, cards[i], k);
        }
        painter.end();
    }
    return bytes;
}

QByteArray PngBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return {};
    return bytes;
}

}  // namespace zelk
