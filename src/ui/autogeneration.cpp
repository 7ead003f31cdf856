#include "ui/autogeneration.h"

#include <QLabel>
#include <QPushButton>
#include <QShortcut>

#include "data/catalogues.h"
#include "doctor/doctor.h"
#include "monitor/autosupervisor.h"
#include "monitor/journalplace.h"
#include "ui/fit.h"

namespace zelk {

namespace fs = std::filesystem;

TAutoGeneration::TAutoGeneration(TAutoHost& host, const TSimPaths& paths, std::filesystem::path dataDir,
                                 QPushButton* button, QLabel* state, QWidget* window)
    : QObject(window), host_(host), paths_(paths), dataDir_(std::move(dataDir)), button_(button), state_(state) {
    TLogActions actions;
    actions.IsListedMission = [this](const std::string& fileName) { return host_.IsListedMission(fileName); };
    actions.SaveMission = [this](const std::string& fileName) {
        host_.SaveMission(fileName);
        NoteWrite();
    };
    supervisor_ = new TAutoSupervisor(std::move(actions), this);
    connect(supervisor_, &TAutoSupervisor::StartFailed, this, [this](const QString& message) {
        // A button down with nothing watching would promise what is not done.
        SwitchOff();
        host_.AskPilot(TAskKind::Problem, tr("Проблема"), message + tr("\nРежим автогенерации не включён."));
    });
    connect(supervisor_, &TAutoSupervisor::GaveUp, this, [this](const QString& message) {
        SwitchOff();
        host_.AskPilot(TAskKind::Problem, tr("Проблема"), message + tr("\nРежим автогенерации выключен."));
    });
    // The pilot learns that the mission was not written anew.
    connect(supervisor_, &TAutoSupervisor::SaveFailed, this,
            [this](const std::string& fileName, const QString& message) {
                host_.AskPilot(TAskKind::Problem, tr("Проблема"),
                               tr("Задание %1 не удалось записать заново.\n").arg(FromCp1251(fileName)) + message);
            });

    button_->setToolTip(Shown(AutoButtonCaptions[0]));
    // Down, the button must not pass for one more greyed control. Set once the
    // page is in the window: a style sheet set earlier keeps the toolkit's font.
    button_->setStyleSheet(
        QStringLiteral("QPushButton:checked { background-color: #1f7a1f; color: white; font-weight: bold;"
                       " border: 2px solid #0b3d0b; border-radius: 3px; }"));
    connect(button_, &QPushButton::clicked, this, &TAutoGeneration::Clicked);
    // Auto-generation, then F5: the two steps before a flight, from the keyboard.
    auto* key = new QShortcut(QKeySequence(Qt::Key_F6), window);
    connect(key, &QShortcut::activated, this, [this] {
        if (button_->isEnabled()) button_->click();
    });
}

TLogMonitorThread* TAutoGeneration::Monitor() const { return supervisor_->Monitor(); }

void TAutoGeneration::Clicked() {
    if (button_->isChecked()) {
        // What was typed goes into the mission before the monitor may write it.
        host_.CommitEdits();
        if (!on_ && !SaveBeforeAuto()) {
            button_->setChecked(false);
            return;
        }
        if (!on_) {
            // Switched on now, not a fresh monitor taking over.
            on_ = true;
            writes_ = 0;
            lastWrite_ = QTime();
        }
        host_.AutoSwitched(true);
        WatchEventLog(true);
    } else {
        on_ = false;
        supervisor_->Stop();
        host_.AutoSwitched(false);
    }
    button_->setToolTip(Shown(AutoButtonCaptions[button_->isChecked() ? 1 : 0]));
    ShowState();
    // Without a usable log the mode waits for ever; the pilot who switches it
    // on learns why. Only on the pilot's click, not on the monitor's restarts;
    // a root that is gone altogether is reported by the mode itself.
    std::error_code ec;
    if (button_->isChecked() && fs::is_directory(paths_.Root, ec) && eventLog_ != TEventLogSetting::Usable &&
        host_.AskPilot(TAskKind::Confirm, tr("Подтверждение"),
                       QString::fromStdString(DoctorWord(TDoctorWord::OfferQuestion))) == QMessageBox::Yes)
        host_.ShowDoctor();
}

bool TAutoGeneration::SaveBeforeAuto() {
    if (host_.CountUnsaved() == 0) return true;
    // The simulator flies the saved files; a rewrite after a flight writes
    // what was flown, so unsaved edits would wait unseen behind the lock.
    QString question = host_.UnsavedQuestion();
    const qsizetype cut = question.lastIndexOf(QLatin1Char('\n'));
    question = question.left(cut + 1) +
               tr("Сохранить их перед включением автогенерации? Несохранённые правки не попадут в полёт.");
    const QMessageBox::StandardButton answer = host_.AskPilot(TAskKind::Query, tr("Запрос"), question);
    if (answer == QMessageBox::Yes) return host_.SaveUnsavedMissions();
    return answer == QMessageBox::No;
}

TAutoGeneration::TConfStamp TAutoGeneration::ConfStamp() const {
    // Looked at without opening the file.
    const fs::path conf = SimulatorConfigOf(paths_.Root);
    std::error_code ec;
    TConfStamp stamp;
    stamp.Exists = fs::exists(conf, ec);
    if (stamp.Exists) {
        stamp.Time = fs::last_write_time(conf, ec);
        stamp.Size = fs::file_size(conf, ec);
    }
    return stamp;
}

void TAutoGeneration::ReadConf() {
    confStamp_ = ConfStamp();
    config_ = ReadSimulatorConfig(paths_.Root);
}

void TAutoGeneration::WatchEventLog(bool start) {
    // conf.ini is read anew when it has changed, so that the mode judges the
    // settings the set-up check reads: the pilot may have fixed it, or broken
    // it, while the window was open.
    const TSimulatorConfig before = config_;
    if (const TConfStamp now = ConfStamp(); !(now == confStamp_)) {
        confStamp_ = now;
        config_ = ReadSimulatorConfig(paths_.Root);
    }
    if (!start && config_.EventLogName == before.EventLogName && config_.KeepEventLog == before.KeepEventLog) return;
    const TSimulatorSetup setup = SetupOf(paths_, config_, dataDir_, host_.JournalFile());
    eventLog_ = setup.EventLog;
    supervisor_->Start(setup.Watch);
}

void TAutoGeneration::ShowState() {
    if (!button_->isChecked()) {
        state_->setText(tr("Режим автогенерации выключен."));
        return;
    }
    // Two short lines: the page holds no more below the set-up check.
    QString text = tr("Режим автогенерации включён, правка заданий закрыта.\n"
                      "Записано заданий: %1")
                       .arg(writes_);
    if (lastWrite_.isValid()) text += tr(", последнее в %1").arg(lastWrite_.toString(QStringLiteral("HH:mm:ss")));
    state_->setText(text + QLatin1Char('.'));
    // A face wider than the window's own (Wine's, say) is taken a size
    // smaller rather than cut off below the box.
    state_->setFont(state_->parentWidget()->font());
    ShrinkFontWhile(state_, [this] { return state_->heightForWidth(state_->width()) > state_->height(); });
}

void TAutoGeneration::NoteWrite() {
    ++writes_;
    lastWrite_ = QTime::currentTime();
    ShowState();
}

void TAutoGeneration::SwitchOff() {
    button_->setChecked(false);
    Clicked();
}

}  // namespace zelk
