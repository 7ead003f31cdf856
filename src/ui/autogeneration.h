#pragma once
// The window's auto-generation mode: the switch and its key, the state line,
// the event-log settings it follows, and what the window does with the
// supervisor's reports. Restarts, the failure count and the saves held back
// while a message is open are the supervisor's.
#include <QMessageBox>
#include <QObject>
#include <QTime>

#include <filesystem>
#include <string>

#include "ui/askbox.h"
#include "ui/simpaths.h"

class QLabel;
class QPushButton;

namespace zelk {

class TAutoSupervisor;
class TLogMonitorThread;

// What the mode asks of the window.
class TAutoHost {
public:
    virtual bool IsListedMission(const std::string& fileName) const = 0;
    // Writes the listed mission again; throws as the window's save does.
    virtual void SaveMission(const std::string& fileName) = 0;
    virtual QMessageBox::StandardButton AskPilot(TAskKind kind, const QString& caption, const QString& text) = 0;
    // What was typed so far goes into the mission.
    virtual void CommitEdits() = 0;
    virtual int CountUnsaved() const = 0;
    virtual QString UnsavedQuestion() const = 0;
    virtual bool SaveUnsavedMissions() = 0;
    virtual void ShowDoctor() = 0;
    virtual std::filesystem::path JournalFile() const = 0;
    // Editing is locked (on) or given back (off).
    virtual void AutoSwitched(bool on) = 0;

protected:
    ~TAutoHost() = default;
};

class TAutoGeneration final : public QObject {
    Q_OBJECT
public:
    // The switch and the state line are the form's; `window` takes the key.
    TAutoGeneration(TAutoHost& host, const TSimPaths& paths, std::filesystem::path dataDir, QPushButton* button,
                    QLabel* state, QWidget* window);

    bool IsOn() const { return on_; }
    TAutoSupervisor& Supervisor() const { return *supervisor_; }
    // The event-log monitor while the mode watches, or none.
    TLogMonitorThread* Monitor() const;
    // Reads conf.ini's event-log settings and notes the file's stamp.
    void ReadConf();
    // Reads the event-log settings of conf.ini anew and follows the log they
    // name: always when `start`, otherwise only when they changed.
    void WatchEventLog(bool start);
    void ShowState();

private:
    void Clicked();
    void SwitchOff();
    // Offers to save the unsaved missions before the mode locks editing;
    // false when the pilot cancels or a save fails.
    bool SaveBeforeAuto();
    void NoteWrite();

    // conf.ini as last read: whether it was there, its time and size.
    struct TConfStamp {
        bool Exists = false;
        std::filesystem::file_time_type Time{};
        std::uintmax_t Size = 0;
        bool operator==(const TConfStamp&) const = default;
    };
    TConfStamp ConfStamp() const;

    TAutoHost& host_;
    TSimPaths paths_;
    std::filesystem::path dataDir_;
    QPushButton* button_;
    QLabel* state_;
    TAutoSupervisor* supervisor_ = nullptr;
    TConfStamp confStamp_;
    TSimulatorConfig config_;  // conf.ini's settings as last read
    // Whether the settings last followed name a usable event log.
    TEventLogSetting eventLog_ = TEventLogSetting::Missing;
    // Missions written since the mode was switched on, and when the last was.
    bool on_ = false;
    int writes_ = 0;
    QTime lastWrite_;
};

}  // namespace zelk
