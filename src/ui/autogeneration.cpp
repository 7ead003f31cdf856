// The window's auto-generation mode: the switch, the state line, and what the
// window does with the supervisor's reports. Restarts, the failure count and
// the saves held back while a message is open are the supervisor's.
#include <QLabel>
#include <QPushButton>
#include <QScopedValueRollback>

#include "data/catalogues.h"
#include "monitor/autosupervisor.h"
#include "monitor/journalplace.h"
#include "ui/simpaths.h"
#include "ui/mainform.h"

namespace zelk {

namespace fs = std::filesystem;

void TZELK_form::CreateAutoSupervisor() {
    TLogActions actions;
    actions.IsListedMission = [this](const std::string& fileName) { return library_.FindByFileName(fileName) >= 0; };
    actions.SaveMission = [this](const std::string& fileName) {
        SaveMission(fileName);
        NoteAutoWrite();
    };
    autoSupervisor_ = new TAutoSupervisor(std::move(actions), this);
    connect(autoSupervisor_, &TAutoSupervisor::StartFailed, this, [this](const QString& message) {
        // A button down with nothing watching would promise what is not done.
        SwitchAutoOff();
        Ask(TAskKind::Problem, tr("Проблема"), message + tr("\nРежим автогенерации не включён."));
    });
    connect(autoSupervisor_, &TAutoSupervisor::GaveUp, this, [this](const QString& message) {
        SwitchAutoOff();
        Ask(TAskKind::Problem, tr("Проблема"), message + tr("\nРежим автогенерации выключен."));
    });
    // The pilot learns that the mission was not written anew.
    connect(autoSupervisor_, &TAutoSupervisor::SaveFailed, this,
            [this](const std::string& fileName, const QString& message) {
                Ask(TAskKind::Problem, tr("Проблема"),
                    tr("Задание %1 не удалось записать заново.\n").arg(FromCp1251(fileName)) + message);
            });
}

TLogMonitorThread* TZELK_form::Monitor() const { return autoSupervisor_->Monitor(); }

void TZELK_form::speedAutoClick() {
    if (speedAuto->isChecked()) {
        // What was typed goes into the mission before the monitor may write it.
        CommitSpinBoxes();
        if (!autoOn_ && !SaveBeforeAuto()) {
            speedAuto->setChecked(false);
            return;
        }
        if (!autoOn_) {
            // Switched on now, not a fresh monitor taking over.
            autoOn_ = true;
            autoWrites_ = 0;
            lastAutoWrite_ = QTime();
        }
        ApplyFormState();
        WatchEventLog(true);
    } else {
        autoOn_ = false;
        autoSupervisor_->Stop();
        // A flown mission became the current one while the controls went on
        // showing the selected entry; the controls write into the mission
        // they show, or an edit would land in a mission nobody sees.
        if (shownMission_ != nullptr) currentMission_ = shownMission_;
        // The refresh settles the mission again and with it what the form
        // offers (a training sortie has no fighters, say). Whatever it could
        // report was reported when the mission was shown, and the mode may
        // be ending on a failure of its own.
        const QScopedValueRollback<bool> quiet(quietErrors_, true);
        ShowMissionData();
    }
    speedAuto->setToolTip(QString::fromStdString(ShownName(AutoButtonCaptions[speedAuto->isChecked() ? 1 : 0])));
    ShowAutoState();
}

bool TZELK_form::SaveBeforeAuto() {
    if (library_.CountUnsaved() == 0) return true;
    // The simulator flies the saved files; a rewrite after a flight writes
    // what was flown, so unsaved edits would wait unseen behind the lock.
    QString question = UnsavedQuestion();
    const qsizetype cut = question.lastIndexOf(QLatin1Char('\n'));
    question = question.left(cut + 1) +
               tr("Сохранить их перед включением автогенерации? Несохранённые правки не попадут в полёт.");
    const QMessageBox::StandardButton answer = Ask(TAskKind::Query, tr("Запрос"), question);
    if (answer == QMessageBox::Yes) return SaveUnsavedMissions();
    return answer == QMessageBox::No;
}

TZELK_form::TConfStamp TZELK_form::ConfStamp() const {
    // Looked at without opening the file.
    const fs::path conf = paths_.Root / "conf.ini";
    std::error_code ec;
    TConfStamp stamp;
    stamp.Exists = fs::exists(conf, ec);
    if (stamp.Exists) {
        stamp.Time = fs::last_write_time(conf, ec);
        stamp.Size = fs::file_size(conf, ec);
    }
    return stamp;
}

void TZELK_form::ReadConf() {
    confStamp_ = ConfStamp();
    ReadEventLogSettings(paths_);
}

void TZELK_form::WatchEventLog(bool start) {
    // conf.ini is read anew when it has changed, so that the mode judges the
    // settings the set-up check reads: the pilot may have fixed it, or broken
    // it, while the window was open.
    const std::string name = paths_.EventLogName;
    const bool keep = paths_.KeepEventLog;
    if (!(ConfStamp() == confStamp_)) ReadConf();
    if (!start && name == paths_.EventLogName && keep == paths_.KeepEventLog) return;
    TAutoSupervisor::TWatch watch;
    watch.Root = paths_.Root;
    watch.EventLogName = paths_.EventLogName;
    watch.KeepEventLog = paths_.KeepEventLog;
    watch.LogbookFile = LogbookFileFor(options_.DataDir);
    if (journal_) watch.JournalFile = journal_->File();
    autoSupervisor_->Start(watch);
}

void TZELK_form::ShowAutoState() {
    if (!speedAuto->isChecked()) {
        LabelAutoState->setText(tr("Режим автогенерации выключен."));
        return;
    }
    // Two short lines: the page holds no more below the set-up check.
    QString text = tr("Режим автогенерации включён, правка заданий закрыта.\n"
                      "Записано заданий: %1")
                       .arg(autoWrites_);
    if (lastAutoWrite_.isValid())
        text += tr(", последнее в %1").arg(lastAutoWrite_.toString(QStringLiteral("HH:mm:ss")));
    LabelAutoState->setText(text + QLatin1Char('.'));
}

void TZELK_form::NoteAutoWrite() {
    ++autoWrites_;
    lastAutoWrite_ = QTime::currentTime();
    ShowAutoState();
}

void TZELK_form::SwitchAutoOff() {
    speedAuto->setChecked(false);
    speedAutoClick();
}

}  // namespace zelk
