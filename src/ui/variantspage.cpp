// The route preview in the picture area and the journal of variants on the
// second page: what the pilot flies, seen before the flight and flown again.
#include <QCoreApplication>
#include <QDateTime>
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
#include "data/codepage.h"
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

template <std::size_t N>
QString TableName(const std::array<std::string, N>& names, int i) {
    return i >= 0 && static_cast<std::size_t>(i) < N
               ? QString::fromStdString(ShownName(names[static_cast<std::size_t>(i)]))
               : QString::number(i);
}

QString FormText(const char* text) { return QCoreApplication::translate("zelk::TZELK_form", text); }

// What tells a variant from the one saved before it, in a few words; the
// first variant of a mission says what it is.
QString Differences(const TVariant& v, const TVariant* older, const TRefData& ref) {
    const TMissionData& d = v.Data;
    if (older == nullptr) return TableName(ModeNames, d.Mode) + QStringLiteral(" - ") + FromCp1251(d.Target);
    const TMissionData& o = older->Data;
    QStringList out;
    if (d.Map != o.Map || d.Target != o.Target) out << FromCp1251(d.Target);
    if (d.Moving != o.Moving) out << TableName(MovementNames, d.Moving);
    if (d.Mode != o.Mode) out << TableName(ModeNames, d.Mode);
    if (d.Difficulty != o.Difficulty) out << TableName(DifficultyNames, d.Difficulty);
    if (d.Aircraft != o.Aircraft) {
        const int i = ref.Aircrafts.IndexOfClass(d.Aircraft);
        out << FromCp1251(i >= 0 ? ref.Aircrafts.Items[static_cast<std::size_t>(i)].Name : d.Aircraft);
    }
    if (d.Army != o.Army) out << TableName(ArmyNames, d.Army);
    if (d.Flight != o.Flight)
        out << FormText(QT_TRANSLATE_NOOP("zelk::TZELK_form", "ведомые: %1")).arg(TableName(FlightNames, d.Flight));
    if (d.Height != o.Height) out << FormText(QT_TRANSLATE_NOOP("zelk::TZELK_form", "высота %1 м")).arg(d.Height);
    if (d.Time != o.Time) out << QString::fromStdString(Cp1251ToUtf8(TimeName(d.Time)));
    if (d.Weather != o.Weather) out << TableName(WeatherNames, d.Weather);
    if (d.Clouds != o.Clouds)
        out << FormText(QT_TRANSLATE_NOOP("zelk::TZELK_form", "облака %1 м")).arg(FromCp1251(d.Clouds));
    if (d.Tanks != o.Tanks) out << FormText(QT_TRANSLATE_NOOP("zelk::TZELK_form", "танки: %1")).arg(d.Tanks);
    if (d.RandomRoute != o.RandomRoute)
        out << (d.RandomRoute ? FormText(QT_TRANSLATE_NOOP("zelk::TZELK_form", "случайный маршрут"))
                              : FormText(QT_TRANSLATE_NOOP("zelk::TZELK_form", "постоянный маршрут")));
    if (d.Fighters != o.Fighters)
        out << FormText(QT_TRANSLATE_NOOP("zelk::TZELK_form", "истребители: %1")).arg(d.Fighters);
    if (v.Comment != older->Comment) out << FormText(QT_TRANSLATE_NOOP("zelk::TZELK_form", "комментарий"));
    return out.isEmpty() ? FormText(QT_TRANSLATE_NOOP("zelk::TZELK_form", "те же условия"))
                         : out.join(QStringLiteral(", "));
}

QString VariantComment(const std::vector<std::string>& lines) {
    QStringList out;
    for (const std::string& line : lines) out << FromCp1251(line);
    return out.join(QLatin1Char('\n'));
}

QString VariantText(int k, const TVariant& v, const TVariant* older, const TRefData& ref, bool changed) {
    // The date as the pilot's language writes it (numbers in Russian, the
    // month's name in English), the year only when it is not this one.
    const QDateTime time = QDateTime::fromSecsSinceEpoch(v.Time);
    const QString when = time.toString(time.date().year() == QDate::currentDate().year()
                                           ? FormText(QT_TRANSLATE_NOOP("zelk::TZELK_form", "dd.MM HH:mm"))
                                           : FormText(QT_TRANSLATE_NOOP("zelk::TZELK_form", "dd.MM.yy HH:mm")));
    QString text = QStringLiteral("%1  %2  %3").arg(k).arg(when, Differences(v, older, ref));
    text += FormText(QT_TRANSLATE_NOOP("zelk::TZELK_form", "  (сид %1)")).arg(v.Seed);
    if (changed) text += FormText(QT_TRANSLATE_NOOP("zelk::TZELK_form", "  (данные изменились)"));
    return text;
}

}  // namespace

void TZELK_form::CreateVariantControls() {
    // Whole lines, wrapped where the list is too narrow for them.
    lboxVariants->setWordWrap(true);
    lboxVariants->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lboxVariants->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
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

std::uint64_t TZELK_form::DrawSeed() {
    // Six digits: short enough to read on the page and to give zelk-cli --seed.
    return TimeSeed() % 1000000;
}

void TZELK_form::ShowNextSeed() {
    const TMission* mission = currentMission_;
    LabelVariants->setText(mission != nullptr && mission->NextSeed
                               ? tr("Варианты задания; сохранение запишет сид %1").arg(*mission->NextSeed)
                               : tr("Варианты задания"));
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
    if (showRoute_)
        ShowRoutePreview();
    else
        ShowTargetPicture();
}

TMission TZELK_form::MissionAsSaved() const {
    // The values typed so far, brought into range as a save would; the boxes
    // themselves stay the pilot's until they are left.
    TMission mission = *currentMission_;
    if (shownMission_ == currentMission_) {
        mission.Data.Height = editHeight->Clamp(mission.Data.Height);
        mission.Data.Fighters = editFighters->Clamp(mission.Data.Fighters);
    }
    return mission;
}

void TZELK_form::ShowRoutePreview() {
    QImage picture;
    drawnSortie_ = TSortie();
    if (currentMission_ != nullptr) {
        try {
            const TSortie sortie = PreviewSortie(MissionAsSaved(), ref_, paths_.MissionFolder);
            drawnSortie_ = sortie;
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
            DrawSortie(PreviewSortie(MissionAsSaved(), ref_, paths_.MissionFolder), currentMission_->Name, 800, 600));
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
            const TVariant* older = k >= 2 ? &variants[static_cast<std::size_t>(k - 2)] : nullptr;
            const QString text = VariantText(k, v, older, ref_, !ChangedDataFiles(v, ref_, &hashes).empty());
            auto* item = new QListWidgetItem(text, lboxVariants);
            // The whole line, should the list be too narrow for it.
            item->setToolTip(text);
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
    // The comment typed since is the pilot's: the variant's replaces it only when asked to.
    const bool takeComment =
        v.Comment != CommentFromBox() && !v.Comment.empty() &&
        Ask(TAskKind::Confirm, tr("Подтверждение"),
            tr("Заменить комментарий задания комментарием варианта?\n\n%1").arg(VariantComment(v.Comment))) ==
            QMessageBox::Yes;
    currentMission_->Data = v.Data;
    if (takeComment) TypeComment(*currentMission_, v.Comment);
    // Marked unsaved even when its values are the saved ones: its seed is not.
    currentMission_->NextSeed = v.Seed;
    ShowMissionData();
    // The pilot stays on the variant just restored.
    if (row < lboxVariants->count()) lboxVariants->setCurrentRow(row);
}

void TZELK_form::DoSurprise() {
    if (currentMission_ == nullptr || autoOn_) return;
    CommitSpinBoxes();
    TRandom rnd(TimeSeed());
    TMissionData data = currentMission_->Data;
    if (!DrawSurprise(data, ref_, {}, rnd)) return;
    currentMission_->Data = data;
    currentMission_->NextSeed.reset();
    ShowMissionData();
}

}  // namespace zelk
