// The route preview in the picture area and the journal of variants on the
// second page: what the pilot flies, seen before the flight and flown again.
#include <QCoreApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

#include "data/catalogues.h"
#include "drawings.h"
#include "generator/writer.h"
#include "generator/random.h"
#include "library/surprise.h"
#include "mainform.h"
#include "monitor/journalplace.h"
#include "routeview.h"
#include "spinedit.h"

namespace zelk {

namespace {

const char* const kPictureHint =
    QT_TRANSLATE_NOOP("zelk::TZELK_form", "Щелчок или Ctrl+M: снимок цели или схема маршрута");

QString VariantText(int k, const TVariant& v, bool changed) {
    QString text = QStringLiteral("%1  %2  %3 - %4")
                       .arg(k)
                       .arg(QString::fromStdString(LocalTimeText(v.Time, "%d.%m.%Y %H:%M")))
                       .arg(QString::fromStdString(ShownName(ModeNames.at(v.Data.Mode % ModeNames.size()))))
                       .arg(FromCp1251(v.Data.Target));
    if (changed) text += QCoreApplication::translate("zelk::TZELK_form", "  (данные изменились)");
    return text;
}

}  // namespace

void TZELK_form::CreateVariantControls() {
    connect(BitBtnRestoreVariant, &QPushButton::clicked, this, &TZELK_form::RestoreVariant);
    connect(lboxVariants, &QListWidget::itemDoubleClicked, this, [this] { RestoreVariant(); });
    connect(BitBtnSurprise, &QPushButton::clicked, this, &TZELK_form::DoSurprise);

    auto* surpriseKey = new QShortcut(QKeySequence(QStringLiteral("Ctrl+R")), this);
    connect(surpriseKey, &QShortcut::activated, this, [this] {
        if (BitBtnSurprise->isEnabled()) DoSurprise();
    });
    auto* routeKey = new QShortcut(QKeySequence(QStringLiteral("Ctrl+M")), this);
    connect(routeKey, &QShortcut::activated, this, &TZELK_form::ToggleRoutePreview);
    Image->installEventFilter(this);
    PanelPreview->setToolTip(tr(kPictureHint));

    // The route follows every value that changes it.
    for (QWidget* sheet : {TabSheet1, TabSheet2}) {
        for (auto* combo : sheet->findChildren<QComboBox*>())
            connect(combo, &QComboBox::currentIndexChanged, this, &TZELK_form::QueuePreview);
        for (auto* check : sheet->findChildren<QCheckBox*>())
            connect(check, &QCheckBox::toggled, this, &TZELK_form::QueuePreview);
        for (auto* spin : sheet->findChildren<TSpinEdit*>())
            connect(spin, &TSpinEdit::ValueEdited, this, &TZELK_form::QueuePreview);
    }

    if (TJournal journal = JournalFor(options_.DataDir); !journal.File().empty()) {
        journal_.emplace(std::move(journal));
        library_.Journal = &*journal_;
    }
}

void TZELK_form::QueuePreview() {
    if (!showRoute_ || previewQueued_) return;
    // Several controls change at once in a refresh: one drawing for all.
    previewQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        previewQueued_ = false;
        if (showRoute_) ShowRoutePreview();
    });
}

void TZELK_form::ToggleRoutePreview() {
    showRoute_ = !showRoute_;
    ShowTargetPicture();
}

void TZELK_form::ShowRoutePreview() {
    // The shown mission's values, as typed so far.
    CommitSpinBoxes();
    QImage picture;
    if (currentMission_ != nullptr) {
        try {
            const TSortie sortie = PreviewSortie(*currentMission_, ref_, paths_.MissionFolder);
            const std::string mode = ModeNames.at(currentMission_->Data.Mode % ModeNames.size());
            const std::string title =
                ToCp1251(QString::fromStdString(ShownName(mode))) + " - " + currentMission_->Data.Target;
            picture = PaintDrawing(DrawSortie(sortie, title, Image->width(), Image->height()));
        } catch (const std::exception&) {
            // A mission that cannot be built yet has no route to show.
        }
    }
    Image->setPixmap(QPixmap::fromImage(picture.isNull() ? DrawNoImagePicture() : picture));
}

void TZELK_form::OpenRouteWindow() {
    if (currentMission_ == nullptr) return;
    QImage picture;
    try {
        picture = PaintDrawing(
            DrawSortie(PreviewSortie(*currentMission_, ref_, paths_.MissionFolder), currentMission_->Name, 800, 600));
    } catch (const std::exception& e) {
        ReportError(QString::fromUtf8(e.what()));
        return;
    }
    auto* dialog = new QDialog(this);
    dialog->setObjectName(QStringLiteral("RouteWindow"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(tr("Схема маршрута - %1").arg(FromCp1251(currentMission_->FileName)));
    auto* layout = new QVBoxLayout(dialog);
    auto* label = new QLabel(dialog);
    label->setPixmap(QPixmap::fromImage(picture));
    layout->addWidget(label);
    dialog->show();
}

void TZELK_form::ShowVariants() {
    lboxVariants->clear();
    listedVariants_.clear();
    if (currentMission_ != nullptr && journal_) {
        std::vector<TVariant> variants;
        try {
            variants = journal_->Variants(currentMission_->Number);
        } catch (const TFileError& e) {
            // Told in the list itself: no variants is not the same as none read.
            lboxVariants->addItem(QString::fromUtf8(e.what()));
        }
        std::map<int, std::string> hashes;
        for (int k = static_cast<int>(variants.size()); k >= 1; --k) {
            const TVariant& v = variants[static_cast<std::size_t>(k - 1)];
            lboxVariants->addItem(VariantText(k, v, !ChangedDataFiles(v, ref_, &hashes).empty()));
            listedVariants_.push_back(v);
        }
    }
    ApplyFormState();
    if (BitBtnRestoreVariant->isEnabled()) lboxVariants->setCurrentRow(0);
}

void TZELK_form::RestoreVariant() {
    const int row = lboxVariants->currentRow();
    if (currentMission_ == nullptr || autoOn_ || row < 0 || row >= static_cast<int>(listedVariants_.size())) return;
    const TVariant v = listedVariants_[static_cast<std::size_t>(row)];
    if (!ref_.Targets.SelectTarget(v.Data.Map, v.Data.Target)) {
        Ask(TAskKind::Problem, tr("Проблема"),
            tr("Цели «%1» этого варианта нет в файлах данных.").arg(FromCp1251(v.Data.Target)));
        return;
    }
    currentMission_->Data = v.Data;
    TypeComment(*currentMission_, v.Comment);
    currentMission_->RestoredSeed = v.Seed;
    ShowMissionData();
}

void TZELK_form::DoSurprise() {
    if (currentMission_ == nullptr || autoOn_) return;
    CommitSpinBoxes();
    TRandom rnd(TimeSeed());
    TMissionData data = currentMission_->Data;
    if (!DrawSurprise(data, ref_, {}, rnd)) return;
    currentMission_->Data = data;
    currentMission_->RestoredSeed.reset();
    ShowMissionData();
}

}  // namespace zelk
