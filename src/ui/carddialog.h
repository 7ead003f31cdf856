#pragma once
// The kneeboard card of a saved mission in a dialog: shown as it prints, and
// printed, or saved as PDF or PNG.
#include <QDialog>
#include <filesystem>

#include "card/card.h"
#include "ui/mainform.h"

class QComboBox;
class QLabel;
class QScrollArea;

namespace zelk {

// Where a card must never go (see CardPlaceRefused).
struct TCardPlaces {
    std::filesystem::path MissionFolder, DataDir, JournalFolder;
};

class TCardDialog : public QDialog {
    Q_OBJECT
public:
    TCardDialog(TCardSource source, const TRefData& ref, TCardPlaces places, TAskFunc ask, QWidget* parent = nullptr);

    const TCardLayout& Card() const { return card_; }
    void SetPageSize(TPageSize size);
    // Writes the card to `file` as PDF or PNG (by its ending), replacing it
    // in one step; false when refused or failed, after saying why.
    bool SaveTo(const std::filesystem::path& file);

private:
    void Relayout();
    void Print();
    void SaveAs(const QString& filter, const QString& ending);

    TCardSource source_;
    const TRefData& ref_;
    TCardPlaces places_;
    TAskFunc ask_;
    TPageSize size_ = TPageSize::A5;
    TCardLayout card_;
    QLabel* view_ = nullptr;
    QComboBox* sizes_ = nullptr;
};

}  // namespace zelk
