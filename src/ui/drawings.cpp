#include "ui/drawings.h"

#include <QCoreApplication>
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include "zelk_version.h"

namespace zelk {

namespace {

QFont DrawingFont(int pixelSize, bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Arial"), QStringLiteral("MS Sans Serif")});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

// A swept-wing aircraft seen from above, nose to the right, centred on (0, 0)
// and about 2 units long.
QPainterPath AircraftShape() {
    QPainterPath path;
    path.moveTo(1.0, 0.0);
    path.lineTo(0.55, -0.08);
    path.lineTo(0.1, -0.9);
    path.lineTo(-0.1, -0.9);
    path.lineTo(0.05, -0.1);
    path.lineTo(-0.65, -0.08);
    path.lineTo(-0.85, -0.4);
    path.lineTo(-0.98, -0.4);
    path.lineTo(-0.9, 0.0);
    path.lineTo(-0.98, 0.4);
    path.lineTo(-0.85, 0.4);
    path.lineTo(-0.65, 0.08);
    path.lineTo(0.05, 0.1);
    path.lineTo(-0.1, 0.9);
    path.lineTo(0.1, 0.9);
    path.lineTo(0.55, 0.08);
    path.closeSubpath();
    return path;
}

// The aircraft in `colour`, at `at`, turned by `degrees` and `size` units
// long; the painter is left as it was.
void PaintAircraft(QPainter& p, QPointF at, qreal degrees, qreal size, const QColor& colour) {
    p.save();
    p.translate(at);
    p.rotate(degrees);
    p.scale(size / 2, size / 2);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(AircraftShape());
    p.restore();
}

}  // namespace

QPixmap DrawLogo() {
    QPixmap pixmap(173, 30);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 30);
    sky.setColorAt(0.0, QColor(38, 70, 120));
    sky.setColorAt(1.0, QColor(120, 160, 205));
    p.fillRect(pixmap.rect(), sky);

    // Ground line with a small target mark.
    p.fillRect(QRect(0, 25, 173, 5), QColor(84, 104, 60));
    p.setPen(QPen(QColor(200, 40, 30), 1.5));
    p.drawEllipse(QPointF(150, 26), 5, 2.5);

    // Diving attack aircraft with its track.
    PaintAircraft(p, QPointF(128, 12), 18, 22, QColor(235, 235, 225));
    p.setPen(QPen(QColor(255, 255, 255, 120), 1, Qt::DashLine));
    p.drawLine(QPointF(100, 4), QPointF(116, 8));

    p.setPen(QColor(255, 214, 90));
    p.setFont(DrawingFont(21, true));
    p.drawText(QRect(6, 0, 80, 27), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("ZELK"));
    p.setPen(QColor(235, 240, 250));
    p.setFont(DrawingFont(9, false));
    p.drawText(QRect(72, 2, 60, 12), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("ORVAK"));
    p.drawText(QRect(72, 13, 60, 12), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("v" ZELK_VERSION));
    return pixmap;
}

QImage DrawNoImagePicture() {
    QImage image(280, 210, QImage::Format_RGB32);
    image.fill(QColor(160, 160, 160));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // Camera body, lens and viewfinder.
    const QColor dark(90, 90, 90);
    p.setPen(QPen(dark, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(185, 185, 185));
    p.drawRoundedRect(QRectF(95, 55, 90, 60), 8, 8);
    p.drawRect(QRectF(120, 44, 30, 11));
    p.drawEllipse(QPointF(140, 85), 19, 19);
    p.drawEllipse(QPointF(140, 85), 9, 9);
    p.setPen(Qt::NoPen);
    p.setBrush(dark);
    p.drawEllipse(QPointF(170, 66), 3, 3);

    // Crossed out.
    p.setPen(QPen(QColor(170, 30, 30), 6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(88, 128), QPointF(192, 36));

    p.setPen(QColor(50, 50, 50));
    p.setFont(DrawingFont(14, true));
    const QString caption = QCoreApplication::translate("zelk::TDrawings", "Изображение отсутствует");
    const QString english = QStringLiteral("No image available");
    p.drawText(QRect(0, 138, 280, 22), Qt::AlignCenter, caption);
    if (caption != english) {
        p.setFont(DrawingFont(13, false));
        p.drawText(QRect(0, 162, 280, 20), Qt::AlignCenter, english);
    }
    return image;
}

QIcon DrawCommandIcon(TCommandIcon which) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QPen outline(QColor(60, 60, 60), 1);

    auto page = [&](QRectF r) {
        QPolygonF shape;
        shape << r.topLeft() << QPointF(r.right() - 3, r.top()) << QPointF(r.right(), r.top() + 3) << r.bottomRight()
              << r.bottomLeft();
        p.setPen(outline);
        p.setBrush(Qt::white);
        p.drawPolygon(shape);
        p.setPen(QColor(150, 170, 200));
        for (qreal y = r.top() + 4; y < r.bottom() - 1; y += 2.5)
            p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
    };

    switch (which) {
        case TCommandIcon::New:
            page(QRectF(2.5, 1.5, 10, 13));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(245, 190, 20));
            p.drawEllipse(QPointF(12, 4), 3.5, 3.5);
            break;
        case TCommandIcon::Copy:
            page(QRectF(1.5, 1.5, 9, 11));
            page(QRectF(5.5, 4.5, 9, 11));
            break;
        case TCommandIcon::Save:
            p.setPen(outline);
            p.setBrush(QColor(50, 90, 170));
            p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1.5, 1.5);
            p.setBrush(Qt::white);
            p.drawRect(QRectF(4, 1.5, 8, 5));
            p.setBrush(QColor(200, 200, 200));
            p.drawRect(QRectF(4, 9.5, 8, 5));
            break;
        case TCommandIcon::Delete:
            p.setPen(QPen(QColor(200, 30, 30), 2.6, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
            p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
            break;
    }
    return QIcon(pixmap);
}

QPixmap DrawStartPicture() {
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(20, 90, 20), 1));
    p.setBrush(QColor(60, 170, 60));
    p.drawEllipse(QRectF(1, 1, 22, 22));
    PaintAircraft(p, QPointF(12.5, 12), -35, 17, Qt::white);
    return pixmap;
}

QIcon DrawAppIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 64.0, size / 64.0);  // drawn on the SVG's 64 by 64 grid

        QPainterPath tile;
        tile.addRoundedRect(QRectF(2, 2, 60, 60), 10, 10);
        p.setClipPath(tile);
        QLinearGradient sky(0, 2, 0, 62);
        sky.setColorAt(0.0, QColor(38, 70, 120));
        sky.setColorAt(1.0, QColor(120, 160, 205));
        p.fillRect(QRectF(2, 2, 60, 60), sky);
        p.fillRect(QRectF(2, 48, 60, 14), QColor(84, 104, 60));
        p.setClipping(false);

        p.setPen(QPen(QColor(200, 40, 30), 2.5));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(46, 53), 9, 4);
        QPen track(QColor(255, 255, 255, 153), 2);
        track.setDashPattern({2.0, 1.5});
        p.setPen(track);
        p.drawLine(QPointF(8, 10), QPointF(20, 18));

        PaintAircraft(p, QPointF(30, 28), 35, 34, QColor(235, 235, 225));
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace zelk
