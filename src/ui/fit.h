#pragma once
// The form is laid out for an 11-pixel face of fixed size. A system whose face
// is wider (Wine draws through GDI, whose rounded advances are) would lay text
// under the next control or cut it off: such text takes the face one pixel
// size smaller at a time instead, never below a size still read with ease.
#include <QFont>
#include <QTabWidget>
#include <QWidget>

namespace zelk {

inline constexpr int kSmallestFontPixels = 8;

// Takes `widget`'s face smaller while `tooWide()` says its text does not fit.
template <typename TooWide>
void ShrinkFontWhile(QWidget* widget, TooWide tooWide) {
    for (QFont small = widget->font(); tooWide() && small.pixelSize() > kSmallestFontPixels;) {
        small.setPixelSize(small.pixelSize() - 1);
        widget->setFont(small);
    }
}

// Captions marked autoSize in the form take their text's width, and no more
// than the room before the control to their right on the same line.
void FitCaptions(QWidget* form);
// The push buttons directly on `page` keep their text and icon whole.
void FitButtons(QWidget* page);
// Every page's title whole in the tab widget's width.
void FitTabs(QTabWidget* pages);

}  // namespace zelk
