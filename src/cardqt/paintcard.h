#pragma once
// Painting the core's drawings and cards with QPainter.
#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QString>
#include <vector>

#include "card/card.h"
#include "preview/drawing.h"

namespace zelk {

// The route drawing's shapes in its own pixels onto `painter`.
void PaintDrawingShapes(QPainter& painter, const TDrawing& drawing);

// The card onto `painter`, `pxPerMm` device pixels to the millimetre from
// the device's top left. A line wider than its box in the painter's font is
// narrowed, never cut.
void PaintCard(QPainter& painter, const TCardLayout& card, double pxPerMm);

// The card as an image of `dpi` dots per inch, white background.
QImage CardImage(const TCardLayout& card, double dpi = 200);

// The cards as one PDF document, a page each; empty with `error` set when
// the writer fails.
QByteArray CardsPdf(const std::vector<TCardLayout>& cards, QString* error);

// The image as PNG bytes; empty when it cannot be encoded.
QByteArray PngBytes(const QImage& image);

}  // namespace zelk
