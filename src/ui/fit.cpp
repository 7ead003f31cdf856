#include "ui/fit.h"
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <algorithm>
#include <limits>

namespace zelk {

namespace {

// The room from `label`'s left edge to the nearest sibling that starts to
// its right and overlaps it in height.
int RoomRightOf(const QLabel* label) {
    int room = std::numeric_limits<int>::max();
    for (QObject* child : label->parentWidget()->children())
        if (auto* w = qobject_cast<QWidget*>(child); w != nullptr && w != label && w->x() > label->x() &&
                                                     w->y() < label->geometry().bottom() &&
                                                     w->geometry().bottom() > label->y())
            room = std::min(room, w->x() - label->x() - 1);
    return room;
}

}  // namespace

void FitCaptions(QWidget* form) {
    for (QLabel* label : form->findChildren<QLabel*>()) {
        if (!label->property("autoSize").toBool()) continue;
        label->adjustSize();
        const int room = RoomRightOf(label);
        ShrinkFontWhile(label, [&] {
            label->adjustSize();
            return label->width() > room;
        });
    }
}

void FitButtons(QWidget* page) {
    for (auto* button : page->findChildren<QPushButton*>(Qt::FindDirectChildrenOnly)) {
        const int icon = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
        ShrinkFontWhile(button, [&] {
            return button->fontMetrics().horizontalAdvance(button->text()) + icon + 8 > button->width();
        });
    }
}

void FitTabs(QTabWidget* pages) {
    QTabBar* bar = pages->tabBar();
    ShrinkFontWhile(bar, [&] { return bar->sizeHint().width() > pages->width(); });
}

}  // namespace zelk
