// Draws the pictures of the demo targets: a simple illustration of each target
// with its name, 276 by 206 pixels, saved as JPEG into the folder given.
//
//   QT_QPA_PLATFORM=offscreen build/demo/zelk-draw-pictures demo/source/pictures
#include <QtGui/QFont>
#include <QtGui/QGuiApplication>
#include <QtGui/QImage>
#include <QtGui/QLinearGradient>
#include <QtGui/QPainter>
#include <QtGui/QPainterPath>
#include <QtGui/QPen>

#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>

namespace {

constexpr int kWidth = 276;
constexpr int kHeight = 206;
constexpr int kCaption = 34;  // the name band at the bottom

enum class Side { Red, Blue };

void Sky(QPainter& p, QColor top, QColor bottom, int horizon) {
    QLinearGradient g(0, 0, 0, horizon);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(0, 0, kWidth, horizon, g);
}

void Ground(QPainter& p, int horizon, QColor near, QColor far) {
    QLinearGradient g(0, horizon, 0, kHeight);
    g.setColorAt(0, far);
    g.setColorAt(1, near);
    p.fillRect(0, horizon, kWidth, kHeight - horizon, g);
}

void Star(QPainter& p, QPointF c, double r, QColor colour) {
    QPainterPath path;
    for (int i = 0; i < 10; ++i) {
        const double a = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
        const double rr = i % 2 == 0 ? r : r * 0.45;
        const QPointF pt(c.x() + rr * std::cos(a), c.y() + rr * std::sin(a));
        i == 0 ? path.moveTo(pt) : path.lineTo(pt);
    }
    path.closeSubpath();
    p.fillPath(path, colour);
}

void Cross(QPainter& p, QPointF c, double r) {
    p.fillRect(QRectF(c.x() - r, c.y() - r / 3, 2 * r, 2 * r / 3), Qt::white);
    p.fillRect(QRectF(c.x() - r / 3, c.y() - r, 2 * r / 3, 2 * r), Qt::white);
    p.fillRect(QRectF(c.x() - r * 0.8, c.y() - r / 6, 1.6 * r, r / 3), Qt::black);
    p.fillRect(QRectF(c.x() - r / 6, c.y() - r * 0.8, r / 3, 1.6 * r), Qt::black);
}

// A tank seen from the side, facing right, its hull `length` long.
void Tank(QPainter& p, QPointF at, double length, Side side) {
    const QColor body = side == Side::Red ? QColor(74, 92, 52) : QColor(112, 112, 104);
    const QColor dark = body.darker(150);
    const double h = length * 0.32;
    // Tracks
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 38));
    p.drawRoundedRect(QRectF(at.x(), at.y() + h * 0.55, length, h * 0.55), h * 0.27, h * 0.27);
    p.setBrush(QColor(90, 90, 86));
    for (int i = 0; i < 5; ++i)
        p.drawEllipse(QPointF(at.x() + length * (0.12 + 0.19 * i), at.y() + h * 0.83), h * 0.17, h * 0.17);
    // Hull, turret, gun
    QPainterPath hull;
    hull.moveTo(at.x() - length * 0.02, at.y() + h * 0.6);
    hull.lineTo(at.x() + length * 0.08, at.y() + h * 0.15);
    hull.lineTo(at.x() + length * 0.9, at.y() + h * 0.15);
    hull.lineTo(at.x() + length * 1.04, at.y() + h * 0.6);
    hull.closeSubpath();
    p.fillPath(hull, body);
    p.setBrush(body.lighter(108));
    p.drawRoundedRect(QRectF(at.x() + length * 0.3, at.y() - h * 0.35, length * 0.4, h * 0.55), 4, 4);
    p.fillRect(QRectF(at.x() + length * 0.68, at.y() - h * 0.15, length * 0.5, h * 0.12), dark);
    if (side == Side::Red)
        Star(p, QPointF(at.x() + length * 0.5, at.y() - h * 0.07), h * 0.2, QColor(200, 30, 30));
    else
        Cross(p, QPointF(at.x() + length * 0.5, at.y() - h * 0.07), h * 0.18);
}

void TankColumn(QPainter& p, Side side) {
    const int horizon = 70;
    Sky(p, QColor(120, 160, 210), QColor(200, 220, 235), horizon);
    Ground(p, horizon, QColor(86, 120, 56), QColor(140, 160, 100));
    // A dirt road running into the distance
    QPainterPath road;
    road.moveTo(0, 150);
    road.cubicTo(90, 130, 170, 95, kWidth, 78);
    road.lineTo(kWidth, 88);
    road.cubicTo(170, 110, 100, 150, 0, 172);
    road.closeSubpath();
    p.fillPath(road, QColor(168, 140, 100));
    Tank(p, QPointF(200, 80), 40, side);
    Tank(p, QPointF(120, 100), 60, side);
    Tank(p, QPointF(18, 118), 84, side);
}

void Locomotive(QPainter& p, double x, double y) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 30, 32));
    p.drawRoundedRect(QRectF(x, y + 8, 44, 20), 6, 6);  // boiler
    p.drawRect(QRectF(x + 40, y, 18, 28));              // cab
    p.drawRect(QRectF(x + 6, y - 6, 7, 14));            // chimney
    p.setBrush(QColor(190, 30, 30));
    p.drawRect(QRectF(x - 3, y + 26, 64, 5));
    p.setBrush(QColor(60, 60, 60));
    for (int i = 0; i < 4; ++i) p.drawEllipse(QPointF(x + 8 + i * 14, y + 34), 6, 6);
    p.setBrush(QColor(220, 220, 210, 160));
    p.drawEllipse(QPointF(x + 6, y - 14), 10, 6);  // smoke
    p.drawEllipse(QPointF(x - 10, y - 20), 13, 7);
}

enum class Wagon { Coach, Tank, Box, Flat };

void Wagons(QPainter& p, double x, double y, Wagon kind, int count) {
    for (int i = 0; i < count; ++i) {
        const double wx = x - (i + 1) * 52;
        p.setPen(Qt::NoPen);
        switch (kind) {
            case Wagon::Coach:
                p.setBrush(QColor(40, 70, 50));
                p.drawRoundedRect(QRectF(wx, y + 2, 48, 26), 3, 3);
                p.setBrush(QColor(230, 220, 160));
                for (int w = 0; w < 4; ++w) p.drawRect(QRectF(wx + 4 + w * 11, y + 7, 7, 7));
                break;
            case Wagon::Tank:
                p.setBrush(QColor(60, 60, 64));
                p.drawRect(QRectF(wx, y + 24, 48, 5));
                p.setBrush(QColor(150, 150, 140));
                p.drawRoundedRect(QRectF(wx + 2, y + 8, 44, 17), 8, 8);
                p.drawRect(QRectF(wx + 21, y + 4, 6, 5));
                break;
            case Wagon::Box:
                p.setBrush(QColor(120, 60, 40));
                p.drawRect(QRectF(wx, y + 2, 48, 27));
                p.setPen(QPen(QColor(80, 40, 25), 1));
                p.drawLine(QPointF(wx + 24, y + 4), QPointF(wx + 24, y + 27));
                p.setPen(Qt::NoPen);
                break;
            case Wagon::Flat:
                p.setBrush(QColor(60, 60, 64));
                p.drawRect(QRectF(wx, y + 24, 48, 5));
                p.setBrush(QColor(150, 120, 70));
                for (int c = 0; c < 3; ++c) p.drawRect(QRectF(wx + 3 + c * 15, y + 12, 12, 12));
                p.setBrush(QColor(90, 110, 60));
                p.drawRect(QRectF(wx + 10, y + 4, 14, 8));
                break;
        }
        p.setBrush(QColor(50, 50, 50));
        p.drawEllipse(QPointF(wx + 10, y + 33), 5, 5);
        p.drawEllipse(QPointF(wx + 38, y + 33), 5, 5);
    }
}

void Train(QPainter& p, Wagon kind) {
    const int horizon = 90;
    Sky(p, QColor(150, 170, 200), QColor(215, 215, 220), horizon);
    Ground(p, horizon, QColor(110, 120, 70), QColor(150, 150, 110));
    // Embankment and rails
    p.fillRect(0, 128, kWidth, 14, QColor(130, 110, 90));
    p.fillRect(0, 128, kWidth, 2, QColor(70, 70, 70));
    for (int x = 0; x < kWidth; x += 9) p.fillRect(x, 130, 5, 3, QColor(90, 70, 50));
    Locomotive(p, 200, 92);
    Wagons(p, 200, 92, kind, 4);
}

struct TCarrierLook {
    QColor Hull;
    QColor Deck;
    double Length;  // share of the width
    double Island;  // where the island stands, share of the length
    bool Rising;    // the Japanese red disc on the deck instead of a star
};

void Carrier(QPainter& p, const TCarrierLook& look) {
    const int horizon = 78;
    Sky(p, QColor(90, 150, 215), QColor(190, 215, 235), horizon);
    QLinearGradient sea(0, horizon, 0, kHeight);
    sea.setColorAt(0, QColor(60, 110, 160));
    sea.setColorAt(1, QColor(20, 60, 110));
    p.fillRect(0, horizon, kWidth, kHeight - horizon, sea);
    const double len = kWidth * look.Length;
    const double x = (kWidth - len) / 2;
    const double y = 112;
    // Wake
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 235, 245, 150));
    p.drawEllipse(QRectF(x - 40, y + 14, 70, 10));
    // Hull
    QPainterPath hull;
    hull.moveTo(x, y);
    hull.lineTo(x + len, y);
    hull.lineTo(x + len - 14, y + 26);
    hull.lineTo(x + 8, y + 26);
    hull.closeSubpath();
    p.fillPath(hull, look.Hull);
    // Flight deck with its markings
    p.fillRect(QRectF(x - 6, y - 6, len + 12, 7), look.Deck);
    p.setPen(QPen(QColor(240, 240, 230), 1, Qt::DashLine));
    p.drawLine(QPointF(x, y - 3), QPointF(x + len, y - 3));
    p.setPen(Qt::NoPen);
    // Island and mast
    const double ix = x + len * look.Island;
    p.setBrush(look.Hull.darker(120));
    p.drawRect(QRectF(ix, y - 26, 22, 20));
    p.drawRect(QRectF(ix + 9, y - 40, 4, 14));
    p.drawRect(QRectF(ix + 4, y - 34, 14, 3));
    // Aircraft parked aft
    p.setBrush(QColor(60, 70, 80));
    for (int i = 0; i < 4; ++i) {
        const double ax = x + 6 + i * 16;
        p.drawRect(QRectF(ax, y - 10, 12, 3));
        p.drawRect(QRectF(ax + 5, y - 13, 2, 8));
    }
    if (look.Rising) {
        p.setBrush(QColor(200, 20, 20));
        p.drawEllipse(QPointF(x + len * 0.88, y - 3), 5, 3);
    } else {
        Star(p, QPointF(x + len * 0.88, y - 3), 4, Qt::white);
    }
}

void Bridge(QPainter& p) {
    const int horizon = 72;
    Sky(p, QColor(130, 165, 205), QColor(210, 220, 230), horizon);
    // Banks and river
    p.fillRect(0, horizon, kWidth, kHeight - horizon, QColor(110, 130, 70));
    QLinearGradient river(0, 120, 0, kHeight);
    river.setColorAt(0, QColor(70, 110, 140));
    river.setColorAt(1, QColor(40, 80, 110));
    QPainterPath water;
    water.moveTo(0, 118);
    water.cubicTo(90, 112, 180, 124, kWidth, 116);
    water.lineTo(kWidth, kHeight);
    water.lineTo(0, kHeight);
    water.closeSubpath();
    p.fillPath(water, river);
    // Piers, deck and truss spans
    const double deck = 104;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 115, 105));
    for (int i = 0; i <= 4; ++i) p.drawRect(QRectF(10 + i * 62, deck, 10, 60));
    p.fillRect(QRectF(0, deck - 4, kWidth, 7), QColor(70, 70, 72));
    p.setPen(QPen(QColor(50, 55, 60), 2));
    for (int s = 0; s < 4; ++s) {
        const double x0 = 15 + s * 62;
        const double x1 = x0 + 62;
        QPainterPath arch;
        arch.moveTo(x0, deck - 4);
        arch.quadTo((x0 + x1) / 2, deck - 44, x1, deck - 4);
        p.drawPath(arch);
        for (int k = 1; k < 6; ++k) {
            const double t = k / 6.0;
            const double ax = x0 + t * 62;
            const double ay = deck - 4 - 40 * 4 * t * (1 - t) * 0.5;
            p.drawLine(QPointF(ax, deck - 4), QPointF(ax, ay));
        }
    }
}

void Caption(QPainter& p, const QString& text) {
    p.fillRect(0, kHeight - kCaption, kWidth, kCaption, QColor(20, 24, 30, 220));
    QFont font("DejaVu Sans");
    font.setPixelSize(15);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(245, 240, 225));
    p.drawText(QRect(6, kHeight - kCaption, kWidth - 12, kCaption), Qt::AlignCenter | Qt::TextWordWrap, text);
}

struct TPicture {
    const char* File;
    const char* Caption;  // the target's name, as the window shows it
    std::function<void(QPainter&)> Draw;
};

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: zelk-draw-pictures OUTDIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);

    const TPicture pictures[] = {
        {"tanks_blue.jpg", "Колонна: танки синих", [](QPainter& p) { TankColumn(p, Side::Blue); }},
        {"tanks_red.jpg", "Засада: танки красных", [](QPainter& p) { TankColumn(p, Side::Red); }},
        {"train_command.jpg", "Поезд командования", [](QPainter& p) { Train(p, Wagon::Coach); }},
        {"train_fuel.jpg", "Топливный эшелон", [](QPainter& p) { Train(p, Wagon::Tank); }},
        {"train_ammo.jpg", "Эшелон с боеприпасами", [](QPainter& p) { Train(p, Wagon::Flat); }},
        {"train_cargo.jpg", "Товарный состав у моста", [](QPainter& p) { Train(p, Wagon::Box); }},
        {"carrier_saratoga.jpg", "Авианосец Saratoga",
         [](QPainter& p) {
             Carrier(p, {QColor(110, 120, 130), QColor(150, 130, 100), 0.86, 0.55, false});
         }},
        {"carrier_essex.jpg", "Авианосец Essex",
         [](QPainter& p) {
             Carrier(p, {QColor(90, 105, 120), QColor(120, 110, 95), 0.82, 0.58, false});
         }},
        {"carrier_casablanca.jpg", "Эскортный авианосец Casablanca",
         [](QPainter& p) {
             Carrier(p, {QColor(120, 130, 135), QColor(140, 125, 100), 0.6, 0.62, false});
         }},
        {"carrier_illustrious.jpg", "Авианосец Illustrious",
         [](QPainter& p) {
             Carrier(p, {QColor(140, 140, 135), QColor(110, 110, 105), 0.8, 0.6, false});
         }},
        {"carrier_akagi.jpg", "Авианосец Akagi",
         [](QPainter& p) {
             Carrier(p, {QColor(95, 95, 100), QColor(170, 130, 80), 0.9, 0.35, true});
         }},
        {"carrier_zuikaku.jpg", "Авианосец Zuikaku",
         [](QPainter& p) {
             Carrier(p, {QColor(100, 100, 105), QColor(165, 125, 75), 0.84, 0.62, true});
         }},
        {"bridge_dnepr.jpg", "Мост через Днепр", [](QPainter& p) { Bridge(p); }},
    };

    for (const auto& pic : pictures) {
        QImage image(kWidth, kHeight, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter p(&image);
            p.setRenderHint(QPainter::Antialiasing);
            pic.Draw(p);
            Caption(p, QString::fromUtf8(pic.Caption));
        }
        const QString path = out + "/" + pic.File;
        if (!image.save(path, "JPEG", 88)) {
            std::fprintf(stderr, "zelk-draw-pictures: cannot write %s\n", path.toLocal8Bit().constData());
            return 1;
        }
        std::printf("%s\n", path.toLocal8Bit().constData());
    }
    return 0;
}
