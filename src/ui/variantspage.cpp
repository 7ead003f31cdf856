#include "ui/variantspage.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
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
#include "monitor/journalplace.h"
#include "routeview.h"
#include "ui/simpaths.h"
#include "ui/spinedit.h"

namespace zelk {

namespace {

const char* const kPictureHint =
    QT_TRANSLATE_NOOP("zelk::TVariantsPage", "Щелчок или Ctrl+M: снимок цели или схема маршрута");

template <std::size_t N>
QString TableName(const std::array<std::string, N>& names, int i) {
    return i >= 0 && static_cast<std::size_t>(i) < N ? Shown(names[static_cast<std::size_t>(i)]) : QString::number(i);
}

QString FormText(const char* text) { return QCoreApplication::translate("zelk::TVariantsPage", text); }

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
        out << FormText(QT_TRANSLATE_NOOP("zelk::TVariantsPage", "ведомые: %1")).arg(TableName(FlightNames, d.Flight));
    if (d.Height != o.Height) out << FormText(QT_TRANSLATE_NOOP("zelk::TVariantsPage", "высота %1 м")).arg(d.Height);
    if (d.Time != o.Time) out << QString::fromStdString(Cp1251ToUtf8(TimeName(d.Time)));
    if (d.Weather != o.Weather) out << TableName(WeatherNames, d.Weather);
    if (d.Clouds != o.Clouds)
        out << FormText(QT_TRANSLATE_NOOP("zelk::TVariantsPage", "облака %1 м")).arg(FromCp1251(d.Clouds));
    if (d.Tanks != o.Tanks) out << FormText(QT_TRANSLATE_NOOP("zelk::TVariantsPage", "танки: %1")).arg(d.Tanks);
    if (d.RandomRoute != o.RandomRoute)
        out << (d.RandomRoute ? FormText(QT_TRANSLATE_NOOP("zelk::TVariantsPage", "случайный маршрут"))
                              : FormText(QT_TRANSLATE_NOOP("zelk::TVariantsPage", "постоянный маршрут")));
    if (d.Fighters != o.Fighters)
        out << FormText(QT_TRANSLATE_NOOP("zelk::TVariantsPage", "истребители: %1")).arg(d.Fighters);
    if (v.Comment != older->Comment) out << FormText(QT_TRANSLATE_NOOP("zelk::TVariantsPage", "комментарий"));
    return out.isEmpty() ? FormText(QT_TRANSLATE_NOOP("zelk::TVariantsPage", "те же условия"))
                         : out.join(QStringLiteral(", "));
}

QString VariantText(int k, const TVariant& v, const TVariant* older, const TRefData& ref, bool changed) {
    // The date as the pilot's language writes it (numbers in Russian, the
    // month's name in English), the year only when it is not this one.
    const QDateTime time = QDateTime::fromSecsSinceEpoch(v.Time);
    const QString when = time.toString(time.date().year() == QDate::currentDate().year()
                                           ? FormText(QT_TRANSLATE_NOOP("zelk::TVariantsPage", "dd.MM HH:mm"))
                                           : FormText(QT_TRANSLATE_NOOP("zelk::TVariantsPage", "dd.MM.yy HH:mm")));
    QString text = QStringLiteral("%1  %2  %3").arg(k).arg(when, Differences(v, older, ref));
    text += FormText(QT_TRANSLATE_NOOP("zelk::TVariantsPage", "  (сид %1)")).arg(v.Seed);
    if (changed) text += FormText(QT_TRANSLATE_NOOP("zelk::TVariantsPage", "  (данные изменились)"));
    return text;
}

}  // namespace

TVariantsPage::TVariantsPage(TVariantsHost& host, TVariantsControls controls, const TJournal* journal, QWidget* window)
    : QObject(window), host_(host), c_(std::move(controls)), journal_(journal) {
    // Whole lines, wrapped where the list is too narrow for them.
    c_.List->setWordWrap(true);
    c_.List->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    c_.List->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    connect(c_.Restore, &QPushButton::clicked, this, &TVariantsPage::RestoreVariant);
    connect(c_.List, &QListWidget::itemDoubleClicked, this, [this] { RestoreVariant(); });
    connect(c_.Surprise, &QPushButton::clicked, this, &TVariantsPage::DoSurprise);

    auto* surpriseKey = new QShortcut(QKeySequence(QStringLiteral("Ctrl+R")), window);
    connect(surpriseKey, &QShortcut::activated, this, [this] {
        if (c_.Surprise->isEnabled()) DoSurprise();
    });
    auto* routeKey = new QShortcut(QKeySequence(QStringLiteral("Ctrl+M")), window);
    connect(routeKey, &QShortcut::activated, this, &TVariantsPage::ToggleRoutePreview);
    c_.Picture->installEventFilter(this);
    c_.PicturePanel->setToolTip(tr(kPictureHint));

    // The route follows every value that changes it.
    for (QWidget* sheet : c_.Sheets) {
        for (auto* combo : sheet->findChildren<QComboBox*>())
            connect(combo, &QComboBox::currentIndexChanged, this, &TVariantsPage::QueuePreview);
        for (auto* check : sheet->findChildren<QCheckBox*>())
            connect(check, &QCheckBox::toggled, this, &TVariantsPage::QueuePreview);
        for (auto* spin : sheet->findChildren<TSpinEdit*>())
            connect(spin, &TSpinEdit::ValueEdited, this, &TVariantsPage::QueuePreview);
    }
}

bool TVariantsPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == c_.Picture && event->type() == QEvent::MouseButtonPress) {
        ToggleRoutePreview();
        return true;
    }
    if (watched == c_.Picture && event->type() == QEvent::MouseButtonDblClick) {
        // The double click's first press flipped the picture: it flips back,
        // and the route opens large whichever picture was shown.
        ToggleRoutePreview();
        OpenRouteWindow();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

std::uint64_t TVariantsPage::DrawSeed() {
    // Six digits: short enough to read on the page and to give zelk-cli --seed.
    return TimeSeed() % 1000000;
}

void TVariantsPage::ShowNextSeed(const TMission* mission) {
    c_.Title->setText(mission != nullptr && mission->NextSeed
                          ? tr("Варианты задания; сохранение запишет сид %1").arg(*mission->NextSeed)
                          : tr("Варианты задания"));
}

void TVariantsPage::QueuePreview() {
    if (!showRoute_ || previewQueued_) return;
    // Several controls change at once in a refresh: one drawing for all.
    previewQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        previewQueued_ = false;
        if (showRoute_) ShowRoutePreview();
    });
}

void TVariantsPage::ToggleRoutePreview() {
    showRoute_ = !showRoute_;
    if (showRoute_)
        ShowRoutePreview();
    else
        host_.ShowTargetPicture();
}

void TVariantsPage::ShowRoutePreview() {
    QImage picture;
    drawnSortie_ = TSortie();
    if (const TMission* mission = host_.CurrentMission()) {
        try {
            const TSortie sortie = PreviewSortie(host_.MissionAsSaved(), host_.RefData(), host_.Paths().MissionFolder);
            drawnSortie_ = sortie;
            const std::string mode = ModeNames.at(mission->Data.Mode % ModeNames.size());
            const std::string title = ToCp1251(Shown(mode)) + " - " + mission->Data.Target;
            picture = PaintDrawing(DrawSortie(sortie, title, c_.Picture->width(), c_.Picture->height()));
        } catch (const std::exception&) {
            // A mission that cannot be built yet has no route to show.
        }
    }
    c_.Picture->setPixmap(QPixmap::fromImage(picture.isNull() ? DrawNoImagePicture() : picture));
}

void TVariantsPage::OpenRouteWindow() {
    const TMission* mission = host_.CurrentMission();
    if (mission == nullptr) return;
    QImage picture;
    try {
        picture =
            PaintDrawing(DrawSortie(PreviewSortie(host_.MissionAsSaved(), host_.RefData(), host_.Paths().MissionFolder),
                                    mission->Name, 800, 600));
    } catch (const std::exception& e) {
        host_.ReportError(QString::fromUtf8(e.what()));
        return;
    }
    auto* dialog = new QDialog(c_.Picture->window());
    dialog->setObjectName(QStringLiteral("RouteWindow"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(tr("Схема маршрута - %1").arg(FromCp1251(mission->FileName)));
    auto* layout = new QVBoxLayout(dialog);
    auto* label = new QLabel(dialog);
    label->setPixmap(QPixmap::fromImage(picture));
    layout->addWidget(label);
    dialog->show();
}

void TVariantsPage::ShowVariants() {
    c_.List->clear();
    listed_.clear();
    const TMission* mission = host_.CurrentMission();
    if (mission != nullptr && journal_) {
        std::vector<TVariant> variants;
        try {
            variants = journal_->Variants(mission->Number);
        } catch (const TFileError& e) {
            // Told in the list itself: no variants is not the same as none read.
            c_.List->addItem(QString::fromUtf8(e.what()));
        }
        std::map<int, std::string> hashes;
        for (int k = static_cast<int>(variants.size()); k >= 1; --k) {
            const TVariant& v = variants[static_cast<std::size_t>(k - 1)];
            const TVariant* older = k >= 2 ? &variants[static_cast<std::size_t>(k - 2)] : nullptr;
            const TRefData& ref = host_.RefData();
            const QString text = VariantText(k, v, older, ref, !ChangedDataFiles(v, ref, &hashes).empty());
            auto* item = new QListWidgetItem(text, c_.List);
            // The whole line, should the list be too narrow for it.
            item->setToolTip(text);
            listed_.push_back(v);
        }
    }
    host_.VariantsListed();
    if (c_.Restore->isEnabled()) c_.List->setCurrentRow(0);
}

void TVariantsPage::RestoreVariant() {
    const int row = c_.List->currentRow();
    TMission* mission = host_.CurrentMission();
    if (mission == nullptr || host_.AutoOn() || row < 0 || row >= static_cast<int>(listed_.size())) return;
    const TVariant v = listed_[static_cast<std::size_t>(row)];
    if (!host_.RefData().Targets.SelectTarget(v.Data.Map, v.Data.Target)) {
        host_.AskPilot(TAskKind::Problem, tr("Проблема"),
                       tr("Цели «%1» этого варианта нет в файлах данных.").arg(FromCp1251(v.Data.Target)));
        return;
    }
    // The comment typed since is the pilot's: the variant's replaces it only when asked to.
    const bool takeComment =
        v.Comment != host_.CommentFromBox() && !v.Comment.empty() &&
        host_.AskPilot(TAskKind::Confirm, tr("Подтверждение"),
                       tr("Заменить комментарий задания комментарием варианта?\n\n%1").arg(JoinedLines(v.Comment))) ==
            QMessageBox::Yes;
    mission->Data = v.Data;
    if (takeComment) TypeComment(*mission, v.Comment);
    // Marked unsaved even when its values are the saved ones: its seed is not.
    mission->NextSeed = v.Seed;
    host_.ShowMission();
    // The pilot stays on the variant just restored.
    if (row < c_.List->count()) c_.List->setCurrentRow(row);
}

void TVariantsPage::DoSurprise() {
    TMission* mission = host_.CurrentMission();
    if (mission == nullptr || host_.AutoOn()) return;
    host_.CommitEdits();
    TRandom rnd(TimeSeed());
    TMissionData data = mission->Data;
    if (!DrawSurprise(data, host_.RefData(), {}, rnd)) return;
    mission->Data = data;
    mission->NextSeed.reset();
    host_.ShowMission();
}

}  // namespace zelk
