// The window's view of the current mission: the list entries, the summary,
// the controls bound to the mission's fields, the comment and the picture.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTextCursor>
#include <QTimer>

#include <exception>
#include <functional>

#include "data/catalogues.h"
#include "data/codepage.h"
#include "data/picture.h"
#include "generator/writer.h"
#include "mission/params.h"
#include "ui/drawings.h"
#include "ui/mainform.h"
#include "ui/spinedit.h"
#include "ui_mainform.h"

namespace zelk {

namespace {

QImage ToQImage(const TImage& picture) {
    if (picture.Width <= 0 || picture.Height <= 0 ||
        picture.Rgb.size() < static_cast<std::size_t>(picture.Width) * picture.Height * 3)
        return QImage();
    QImage image(picture.Width, picture.Height, QImage::Format_RGB888);
    const std::size_t rowBytes = static_cast<std::size_t>(picture.Width) * 3;
    for (int y = 0; y < picture.Height; ++y)
        std::copy_n(picture.Rgb.data() + rowBytes * y, rowBytes, image.scanLine(y));
    return image;
}

// What a pilot's choice in a control sets going once the mission holds it.
enum class TFollow {
    Marks,    // the entry's mark and the summary
    Targets,  // the target's offer settled again (map, army, target)
    Settle,   // movement, type and difficulty brought onto a variant the target has
};

// One control of the form and the mission field it edits.
struct TFieldBinding {
    QWidget* Control;  // a pick list, a check box or a number box of the form
    TFollow Follow;
    TVariantKeep Keep;  // with Settle: the choice that stays
    // Takes the control's value (a list position, 0/1, a number) into the
    // mission; false when the value names nothing listed.
    std::function<bool(TMission&, int)> Take;
};

template <typename TField>
std::function<bool(TMission&, int)> Number(TField TMissionData::*field) {
    return [field](TMission& m, int value) {
        m.Data.*field = static_cast<TField>(value);
        return true;
    };
}

template <typename TList, typename TTake>
std::function<bool(TMission&, int)> FromList(const TList& list, TTake take) {
    return [&list, take](TMission& m, int i) {
        if (static_cast<std::size_t>(i) >= list.size()) return false;
        take(m.Data, list[static_cast<std::size_t>(i)]);
        return true;
    };
}

}  // namespace

void TZELK_form::FillMissionList() {
    const QSignalBlocker blocker(ui_->lboxMissions);
    ui_->lboxMissions->clear();
    for (const auto& mission : library_.Missions) ui_->lboxMissions->addItem(EntryText(*mission));
}

QString TZELK_form::EntryText(const TMission& mission) {
    // Many missions on one target share a title; the number tells them apart.
    return QStringLiteral("%1  %2%3")
        .arg(mission.Number, 4, 10, QLatin1Char('0'))
        .arg(FromCp1251(mission.Name), mission.IsUnsaved() ? QStringLiteral(" *") : QString());
}

void TZELK_form::ShowEntryMarks() {
    // A changed mission gets the seed its save will use now, so that the
    // route drawn before the save is the route written.
    for (const auto& mission : library_.Missions) {
        if (!mission->IsUnsaved() || mission->NextSeed) continue;
        mission->NextSeed = TVariantsPage::DrawSeed();
        if (mission.get() == currentMission_) variants_->QueuePreview();
    }
    variants_->ShowNextSeed(currentMission_);
    for (int row = 0; row < ui_->lboxMissions->count() && row < library_.Count(); ++row) {
        const QString text = EntryText(library_.At(row));
        if (ui_->lboxMissions->item(row)->text() != text) ui_->lboxMissions->item(row)->setText(text);
    }
    ShowSummary();
}

void TZELK_form::ShowSummary() {
    if (currentMission_ == nullptr || shownMission_ != currentMission_) return;
    const TMission& mission = *currentMission_;
    std::vector<std::string> lines = mission.Short;
    if (mission.IsNew == 0 && mission.IsModified()) {
        // A changed mission's summary is the one its save will write: the
        // stored one would name a map or target left behind.
        try {
            const TMission saving = MissionAsSaved();
            lines = {BuildMissionFiles(saving, ref_, {}, saving.NextSeed.value_or(saving.Number)).Short,
                     SaveReminderText()};
        } catch (const std::exception&) {
            // Not buildable yet: the stored summary until it is.
        }
    }
    for (std::string& line : lines) line = ShownShortLine(line);
    const QString text = JoinedLines(lines);
    if (ui_->MissionShort->toPlainText() != text) ui_->MissionShort->setPlainText(text);
}

void TZELK_form::SetCurrentEntry(int row) {
    {
        const QSignalBlocker blocker(ui_->lboxMissions);
        // Only the entry made current stays selected: a copy followed by a
        // delete must never take the original with it.
        ui_->lboxMissions->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    }
    currentMission_ = (row >= 0 && row < library_.Count()) ? &library_.At(row) : nullptr;
}

void TZELK_form::MissionListClicked() {
    const int row = ui_->lboxMissions->currentRow();
    currentMission_ = (row >= 0 && row < library_.Count()) ? &library_.At(row) : nullptr;
    ShowMissionData();
}

void TZELK_form::ShowMissionData(TVariantKeep keep) {
    // What was typed belongs to the mission shown so far; it must not reach
    // another one when a box loses the focus while the controls change.
    CommitSpinBoxes();
    ui_->editHeight->DiscardEdit();
    ui_->editFighters->DiscardEdit();
    if (library_.Empty() || currentMission_ == nullptr) {
        shownMission_ = nullptr;
        variants_->ShowVariants();
        return;
    }
    TMission& mission = *currentMission_;
    ui_->FileName->setText(FromCp1251(mission.FileName));
    {
        const QSignalBlocker blocker(ui_->MissionComment);
        ui_->MissionComment->setPlainText(JoinedLines(mission.TypedComment ? *mission.TypedComment : mission.Comment));
    }
    ShowCommentChars();
    shownMission_ = &mission;

    // A mission read back whose target was left out of the data is shown as
    // it was read: being looked at must not change it. A new one settles.
    const bool asRead = mission.IsNew == 0 && !TargetAvailable(mission.Data, ref_);
    const TMissionData read = mission.Data;
    {
        const QScopedValueRollback<bool> showRead(asRead_, asRead);
        CheckUpTargets(keep);
    }
    fightersOffered_ = ApplyFightersRule(mission.Data);

    TMissionData& data = mission.Data;
    ui_->comboArmy->setCurrentIndex(data.Army >= 0 && data.Army < ui_->comboArmy->count() ? data.Army : -1);
    ui_->comboFlight->setCurrentIndex(data.Flight >= 0 && data.Flight < ui_->comboFlight->count() ? data.Flight : -1);
    ui_->comboTime->setCurrentIndex(data.Time >= 0 && data.Time < ui_->comboTime->count() ? data.Time : -1);
    // The boxes show the values brought into their ranges, and the mission
    // takes what they show.
    ui_->editHeight->SetValue(data.Height);
    data.Height = ui_->editHeight->Value();
    ui_->checkRandomRoute->setChecked(data.RandomRoute != 0);
    data.RandomRoute = ui_->checkRandomRoute->isChecked() ? 1 : 0;
    ui_->editFighters->SetValue(data.Fighters);
    data.Fighters = ui_->editFighters->Value();
    ui_->comboClouds->setCurrentIndex(
        ui_->comboClouds->findText(FromCp1251(data.Clouds), Qt::MatchExactly | Qt::MatchCaseSensitive));
    ui_->comboWeather->setCurrentIndex(data.Weather >= 0 && data.Weather < ui_->comboWeather->count() ? data.Weather
                                                                                                      : -1);
    if (asRead) data = read;
    ShowEntryMarks();
    // Enables what the mission offers; with auto-generation on (a close-time
    // save that failed, say) the window stays locked all the same.
    variants_->ShowVariants();
    // A restored variant or a new seed changes the route with no control changing.
    variants_->QueuePreview();
}

void TZELK_form::CheckUpTargets(TVariantKeep keep) {
    if (currentMission_ == nullptr) return;
    TMission& mission = *currentMission_;
    TTargetChoice choice;
    try {
        choice = asRead_ ? ChoiceAsRead(mission, ref_) : zelk::CheckUpTargets(mission, ref_, keep);
    } catch (const std::exception& e) {
        ReportError(QString::fromUtf8(e.what()));
        return;
    }

    ui_->comboMaps->setCurrentIndex(choice.MapSelected < ui_->comboMaps->count() ? choice.MapSelected : -1);
    if (listedMapKey_ != mission.Data.Map) {
        ui_->comboTargets->clear();
        listedTargets_ = choice.Targets;
        for (const TTarget* target : listedTargets_) ui_->comboTargets->addItem(FromCp1251(target->Name));
        listedMapKey_ = mission.Data.Map;
    }
    ui_->comboTargets->setCurrentIndex(choice.TargetSelected < ui_->comboTargets->count() ? choice.TargetSelected : -1);
    ui_->comboTanksRed->setCurrentIndex(choice.TanksRedShown);
    ui_->comboTanksBlue->setCurrentIndex(choice.TanksBlueShown);
    currentTarget_ = choice.CurrentTarget;

    ui_->checkMoving->setChecked(choice.MovingChecked);
    movingOffered_ = choice.MovingEnabled;

    ui_->comboModes->clear();
    for (int mode : choice.Modes) ui_->comboModes->addItem(Shown(ModeNames[static_cast<std::size_t>(mode)]), mode);
    ui_->comboModes->setCurrentIndex(choice.ModeSelected);
    ui_->comboDifficulty->clear();
    for (int difficulty : choice.Difficulties)
        ui_->comboDifficulty->addItem(Shown(DifficultyNames[static_cast<std::size_t>(difficulty)]), difficulty);
    ui_->comboDifficulty->setCurrentIndex(choice.DifficultySelected);
    ShowAircrafts(choice.Aircraft);

    // Only the list the save reads is offered: a choice in the other one
    // would be written as the same position of this side's list.
    tankSide_ = choice.TankSide;
    ApplyFormState();

    ShowTargetPicture();
}

void TZELK_form::ShowAircrafts(const TAircraftChoice& choice) {
    ui_->comboAircrafts->clear();
    listedAircrafts_ = choice.Aircrafts;
    for (const TAircraft* aircraft : listedAircrafts_) ui_->comboAircrafts->addItem(FromCp1251(aircraft->Name));
    ui_->comboAircrafts->setCurrentIndex(choice.Selected);
}

void TZELK_form::ShowTargetPicture() {
    if (variants_->ShowsRoute()) {
        // Drawn once the refresh has settled every value.
        variants_->QueuePreview();
        return;
    }
    if (currentTarget_ == nullptr) {
        ui_->Image->setPixmap(QPixmap::fromImage(DrawNoImagePicture()));
        return;
    }
    try {
        const TImage picture = ReadPicture(ref_.DataFilePath(currentTarget_->DataFile), currentTarget_->PictureOffset);
        const QImage image = ToQImage(picture);
        ui_->Image->setPixmap(image.isNull() ? QPixmap::fromImage(DrawNoImagePicture()) : QPixmap::fromImage(image));
    } catch (const std::exception& e) {
        ui_->Image->setPixmap(QPixmap::fromImage(DrawNoImagePicture()));
        ReportError(QString::fromUtf8(e.what()));
    }
}

// ---------------------------------------------------------------- fields

void TZELK_form::BindMissionFields() {
    using F = TFollow;
    const auto itemData = [](QComboBox* combo, std::uint8_t TMissionData::*field) {
        return [combo, field](TMission& m, int i) {
            m.Data.*field = static_cast<std::uint8_t>(combo->itemData(i).toInt());
            return true;
        };
    };
    const TFieldBinding fields[] = {
        {ui_->comboMaps,
         F::Targets,
         {},
         FromList(ref_.Maps.Items, [](TMissionData& d, const TMap& map) { d.Map = map.Key; })},
        {ui_->comboArmy, F::Targets, {}, Number(&TMissionData::Army)},
        {ui_->comboTargets,
         F::Targets,
         {},
         FromList(listedTargets_, [](TMissionData& d, const TTarget* t) { d.Target = t->Name; })},
        // Movement, type and difficulty exist only together in the data: each
        // choice is kept and the other two follow it onto a variant the target has.
        {ui_->checkMoving, F::Settle, {.Moving = true}, Number(&TMissionData::Moving)},
        {ui_->comboModes, F::Settle, {.Mode = true}, itemData(ui_->comboModes, &TMissionData::Mode)},
        {ui_->comboDifficulty,
         F::Settle,
         {.Difficulty = true},
         itemData(ui_->comboDifficulty, &TMissionData::Difficulty)},
        {ui_->comboAircrafts,
         F::Marks,
         {},
         FromList(listedAircrafts_, [](TMissionData& d, const TAircraft* a) { d.Aircraft = a->AirClass; })},
        {ui_->comboFlight, F::Marks, {}, Number(&TMissionData::Flight)},
        {ui_->editHeight, F::Marks, {}, Number(&TMissionData::Height)},
        {ui_->comboTime, F::Marks, {}, Number(&TMissionData::Time)},
        {ui_->comboWeather, F::Marks, {}, Number(&TMissionData::Weather)},
        {ui_->comboClouds,
         F::Marks,
         {},
         [this](TMission& m, int i) {
             m.Data.Clouds = ToCp1251(ui_->comboClouds->itemText(i));
             return true;
         }},
        // Both lists write the one tank field: only the side the save reads is enabled.
        {ui_->comboTanksRed, F::Marks, {}, Number(&TMissionData::Tanks)},
        {ui_->comboTanksBlue, F::Marks, {}, Number(&TMissionData::Tanks)},
        {ui_->checkRandomRoute,
         F::Marks,
         {},
         [](TMission& m, int on) {
             m.Data.RandomRoute = static_cast<std::uint8_t>(on);
             // The pilot asks for chance: a new draw.
             m.NextSeed.reset();
             return true;
         }},
        {ui_->editFighters, F::Marks, {}, Number(&TMissionData::Fighters)},
    };
    for (const TFieldBinding& field : fields) {
        auto changed = [this, field](int value) {
            if (currentMission_ == nullptr || !field.Take(*currentMission_, value)) return;
            switch (field.Follow) {
                case TFollow::Marks:
                    ShowEntryMarks();
                    break;
                case TFollow::Targets:
                    CheckUpTargets();
                    ShowEntryMarks();
                    break;
                case TFollow::Settle:
                    ShowMissionData(field.Keep);
                    break;
            }
        };
        // Only the pilot's choices count: `activated`, `clicked` and
        // ValueEdited are not emitted when the window shows values itself.
        if (auto* combo = qobject_cast<QComboBox*>(field.Control))
            connect(combo, &QComboBox::activated, this, [changed](int index) {
                if (index >= 0) changed(index);
            });
        else if (auto* check = qobject_cast<QCheckBox*>(field.Control))
            connect(check, &QCheckBox::clicked, this, [changed](bool on) { changed(on ? 1 : 0); });
        else if (auto* spin = qobject_cast<TSpinEdit*>(field.Control))
            connect(spin, &TSpinEdit::ValueEdited, this, changed);
        else
            // A control no signal is taken from would silently edit nothing.
            qFatal("%s is no pick list, check box or number box", qPrintable(field.Control->objectName()));
    }
}

void TZELK_form::CommitSpinBoxes() {
    if (currentMission_ == nullptr || shownMission_ != currentMission_) return;
    ui_->editHeight->Commit();
    ui_->editFighters->Commit();
}

TMission TZELK_form::MissionAsSaved() const {
    // The values typed so far, brought into range as a save would; the boxes
    // themselves stay the pilot's until they are left.
    TMission mission = *currentMission_;
    if (shownMission_ == currentMission_) {
        mission.Data.Height = ui_->editHeight->Clamp(mission.Data.Height);
        mission.Data.Fighters = ui_->editFighters->Clamp(mission.Data.Fighters);
    }
    return mission;
}

void TZELK_form::KeepCommentWithinLimit() {
    if (CommentLength(CommentFromBox()) <= kCommentLimit) return;
    // A line break reads back as two characters, so the cut is found by
    // walking the text; a trailing break is not saved and costs nothing.
    const QString text = ui_->MissionComment->toPlainText();
    qsizetype cut = 0;
    std::size_t length = 0;
    for (; cut < text.size(); ++cut) {
        length += text[cut] == QLatin1Char('\n') ? 2 : 1;
        if (length > kCommentLimit) break;
    }
    QTextCursor cursor(ui_->MissionComment->document());
    for (;;) {
        cursor.setPosition(static_cast<int>(cut));
        cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        if (cut == 0 || CommentLength(CommentFromBox()) <= kCommentLimit) break;
        --cut;
    }
    QTimer::singleShot(0, this, [this] {
        Ask(TAskKind::Problem, tr("Проблема"),
            tr("Комментарий может быть не длиннее %1 знаков (перевод строки - 2 знака): "
               "лишнее удалено.")
                .arg(kCommentLimit));
    });
}

void TZELK_form::ShowCommentChars() {
    // Said while typing, not found out in the simulator: these become "?".
    QStringList lost;
    std::string one;
    for (char32_t c : ui_->MissionComment->toPlainText().toUcs4()) {
        const QString s = QString::fromUcs4(&c, 1);
        if (c != U'\n' && !Utf8ToCp1251(s.toStdString(), one) && !lost.contains(s)) lost << s;
    }
    const QString text = lost.isEmpty() ? QString() : tr("Симулятор не покажет: %1").arg(lost.join(QLatin1Char(' ')));
    ui_->LabelCommentChars->setToolTip(
        lost.isEmpty() ? QString()
                       : tr("Этих знаков нет в кодировке Windows-1251, которой пишет симулятор: при сохранении "
                            "они станут знаками «?».\n%1")
                             .arg(lost.join(QLatin1Char(' '))));
    ui_->LabelCommentChars->setText(
        ui_->LabelCommentChars->fontMetrics().elidedText(text, Qt::ElideRight, ui_->LabelCommentChars->width()));
}

void TZELK_form::MissionCommentChange() {
    ShowCommentChars();
    // What is typed belongs to the mission the box shows, like any of its
    // values, until a save writes it.
    if (shownMission_ == nullptr) return;
    TypeComment(*shownMission_, CommentFromBox());
    ShowEntryMarks();
}

std::vector<std::string> TZELK_form::CommentFromBox() const {
    QString text = ui_->MissionComment->toPlainText();
    std::vector<std::string> lines;
    if (text.isEmpty()) return lines;
    if (text.endsWith(QLatin1Char('\n'))) text.chop(1);
    for (const QString& line : text.split(QLatin1Char('\n'))) lines.push_back(ToCp1251(line));
    return lines;
}

}  // namespace zelk
