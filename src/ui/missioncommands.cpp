// The window's commands on the library: new, copy, delete and save, and the
// question about unsaved missions.
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QTabWidget>

#include <exception>

#include "data/catalogues.h"
#include "files/paths.h"
#include "generator/random.h"
#include "generator/writer.h"
#include "monitor/qtpath.h"
#include "ui/mainform.h"
#include "ui_mainform.h"

namespace zelk {

namespace fs = std::filesystem;

bool TZELK_form::IsListedMission(const std::string& fileName) const { return library_.FindByFileName(fileName) >= 0; }

void TZELK_form::MissionRewritten(const TMission& mission) {
    // Showing the current mission also marks the entries and lists its variants.
    if (currentMission_ == &mission)
        ShowMissionData();
    else
        ShowEntryMarks();
}

bool TZELK_form::CheckMaxFileNumber() {
    if (library_.CheckMaxFileNumber()) return true;
    Ask(TAskKind::Problem, tr("Проблема"), FromCp1251(NumberLimitText()));
    return false;
}

void TZELK_form::DoNew() {
    CommitSpinBoxes();
    if (library_.ListFailed) return;
    if (!CheckMaxFileNumber()) return;
    if (ref_.Maps.Items.empty()) {
        Ask(TAskKind::Problem, tr("Проблема"), tr("В файлах данных нет ни одной карты с целями."));
        return;
    }
    // The lists as they are filled now; an empty one leaves the field empty
    // and the refresh below picks the first entry offered.
    TNewDefaults defaults;
    defaults.Map = ref_.Maps.Items.front().Key;
    if (!listedTargets_.empty()) defaults.Target = listedTargets_.front()->Name;
    if (!listedAircrafts_.empty()) defaults.Aircraft = listedAircrafts_.front()->AirClass;
    const int index = library_.NewMission(defaults);
    if (index < 0) return;
    {
        const QSignalBlocker blocker(ui_->lboxMissions);
        ui_->lboxMissions->addItem(EntryText(library_.At(index)));
    }
    SetCurrentEntry(index);
    ui_->lboxMissions->setFocus();
    ui_->PageControl->setCurrentIndex(0);
    ShowMissionData();
}

void TZELK_form::DoCopy() {
    CommitSpinBoxes();
    if (!CheckMaxFileNumber()) return;
    const int source = ui_->lboxMissions->currentRow();
    if (source < 0 || source >= library_.Count()) return;
    const int index = library_.CopyMission(source, &ref_);
    if (index < 0) return;
    {
        const QSignalBlocker blocker(ui_->lboxMissions);
        ui_->lboxMissions->addItem(EntryText(library_.At(index)));
    }
    SetCurrentEntry(index);
    ui_->lboxMissions->setFocus();
    ShowMissionData();
}

void TZELK_form::DoDelete() {
    CommitSpinBoxes();
    std::vector<int> rows;
    for (const QModelIndex& index : ui_->lboxMissions->selectionModel()->selectedIndexes()) rows.push_back(index.row());
    if (rows.empty()) return;
    const int n = static_cast<int>(rows.size());
    if (Ask(TAskKind::Confirm, tr("Подтверждение"), FromCp1251(DeleteQuestionText(n))) != QMessageBox::Yes) return;
    currentMission_ = nullptr;
    shownMission_ = nullptr;
    std::vector<fs::path> notRemoved;
    library_.DeleteMissions(rows, paths_.MissionFolder, &notRemoved);
    FillMissionList();
    if (!library_.Empty()) {
        SetCurrentEntry(library_.Count() - 1);
    } else {
        ui_->FileName->clear();
        ui_->MissionShort->clear();
        {
            const QSignalBlocker blocker(ui_->MissionComment);
            ui_->MissionComment->clear();
        }
        ShowCommentChars();
        // No mission, no target: its picture would suggest one.
        currentTarget_ = nullptr;
        ShowTargetPicture();
    }
    ShowMissionData();
    if (!notRemoved.empty()) {
        // A mission whose mission file stayed is still listed; a description
        // left alone is listed by nothing.
        QStringList names;
        for (const fs::path& path : notRemoved) names << QPathText(path);
        Ask(TAskKind::Problem, tr("Проблема"), tr("Не удалось удалить файлы:\n%1").arg(names.join(QLatin1Char('\n'))));
    }
}

bool TZELK_form::DoSave() {
    if (library_.Empty()) return true;
    const int row = ui_->lboxMissions->currentRow();
    if (row < 0 || row >= library_.Count()) return true;
    CommitSpinBoxes();
    currentMission_ = &library_.At(row);
    bool saved = true;
    try {
        SaveMission(currentMission_->FileName);
    } catch (const TVariantRefused& e) {
        saved = false;
        Ask(TAskKind::Problem, tr("Проблема"), QString::fromUtf8(e.what()));
    } catch (const std::exception& e) {
        saved = false;
        ReportError(QString::fromUtf8(e.what()));
    }
    {
        // One failure, one report: the refresh after a failed save would
        // usually fail on the same data file again.
        const QScopedValueRollback<bool> quiet(quietErrors_, !saved);
        ShowMissionData();
    }
    ui_->lboxMissions->setFocus();
    return saved;
}

void TZELK_form::SaveMission(const std::string& fileName) {
    const int index = library_.FindByFileName(fileName);
    if (index >= 0) currentMission_ = &library_.At(index);
    const int number = index >= 0 ? library_.At(index).Number : 0;
    if (index >= 0 && !AutoOn() && journal_ && !library_.At(index).IsUnsaved()) {
        // An unchanged mission is written again as it was drawn from its
        // file: with the seed of its last variant, when that variant is it.
        const std::vector<TVariant> variants = journal_->Variants(number);
        if (!variants.empty() && variants.back().Data == library_.At(index).Data)
            library_.At(index).NextSeed = variants.back().Seed;
    }
    // The simulator's flights always get fresh random choices.
    const int saved = library_.SaveListedMission(fileName, ref_, paths_.MissionFolder, TimeSeed(), AutoOn());
    ShowEntryMarks();
    variants_->ShowVariants();
    // Another program took the number meanwhile: the mission went to the next
    // free one, and the pilot finds it in the simulator under that name.
    if (library_.At(saved).Number != number)
        Ask(TAskKind::Problem, tr("Проблема"),
            tr("Номер %1 уже занят другим файлом в папке заданий.\nЗадание сохранено в файле %2.")
                .arg(number)
                .arg(FromCp1251(library_.At(saved).FileName)));
}

QString TZELK_form::UnsavedQuestion() const {
    // The count, the missions it counts (a few; the list may be long), then the question.
    QStringList names;
    int more = 0;
    for (const auto& mission : library_.Missions) {
        if (!mission->IsUnsaved()) continue;
        if (names.size() < 5)
            names << QStringLiteral("  ") + EntryText(*mission);
        else
            ++more;
    }
    if (more > 0) names << tr("  и ещё %1").arg(more);
    QString question = FromCp1251(UnsavedQuestionText(library_.CountUnsaved()));
    const qsizetype cut = question.indexOf(QLatin1Char('\n'));
    if (cut < 0) return question + QLatin1Char('\n') + names.join(QLatin1Char('\n'));
    return question.left(cut + 1) + names.join(QLatin1Char('\n')) + question.mid(cut);
}

bool TZELK_form::CheckUnsavedMissions() {
    const int k = library_.CountUnsaved();
    if (k == 0) return true;
    const QMessageBox::StandardButton answer = Ask(TAskKind::Query, tr("Запрос"), UnsavedQuestion());
    if (answer == QMessageBox::Yes) return SaveUnsavedMissions();
    return answer == QMessageBox::No;
}

bool TZELK_form::SaveUnsavedMissions() {
    CommitSpinBoxes();
    // A mission whose target the data lack can never be saved; it must
    // not keep the window open, so it is only reported.
    QStringList unsavable;
    for (int i = 0; i < library_.Count(); ++i) {
        const TMission& mission = library_.At(i);
        if (!mission.IsUnsaved()) continue;
        if (!TargetAvailable(mission.Data, ref_)) {
            unsavable << FromCp1251(mission.FileName) + QStringLiteral(": ") +
                             QString::fromStdString(MissingTargetReason(mission, ref_));
            continue;
        }
        SetCurrentEntry(i);
        if (!DoSave()) return false;
    }
    if (!unsavable.isEmpty())
        Ask(TAskKind::Problem, tr("Проблема"), tr("Не сохранены задания:\n") + unsavable.join(QLatin1Char('\n')));
    return true;
}

}  // namespace zelk
