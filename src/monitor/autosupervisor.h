#pragma once
// Supervision of the auto-generation mode, shared by the window and
// `zelk-cli watch`: one event-log monitor at a time, a fresh one after each
// end, the mode given up after a few ends in a row on a root folder that
// cannot be watched, and saves held back while the pilot answers a message.
#include <QObject>
#include <QPointer>
#include <QString>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "doctor/setup.h"
#include "eventlog/logexaminer.h"
#include "library/journal.h"
#include "logbook/logbook.h"
#include "monitor/logmonitor.h"

namespace zelk {

// Ends in a row because the root folder could not be watched (a root that
// cannot be watched fails every fresh monitor at once) before the mode is
// given up.
inline constexpr int kNotifyAttempts = 3;

class TAutoSupervisor final : public QObject {
    Q_OBJECT
public:
    // `actions` are the owner's: the supervisor calls them on its own thread.
    explicit TAutoSupervisor(TLogActions actions, QObject* parent = nullptr);
    // Stops every monitor and joins its thread.
    ~TAutoSupervisor() override;

    // Starts watching with a fresh monitor (one still held is stopped first).
    // The settings come from ReadSimulatorSetup, so that the window and
    // zelk-cli follow the log alike.
    // A monitor that cannot be made is reported by StartFailed, before this
    // returns.
    void Start(const TWatchSettings& watch);
    // Stops watching; the end of the monitor stopped is reported by
    // AllEnded, not MonitorEnded.
    void Stop();
    // Stops and joins every monitor at once, without signals (program end).
    void DeleteMonitors();

    TLogMonitorThread* Monitor() const { return monitor_.data(); }
    // A monitor runs or is still ending.
    bool AnyAlive() const;
    int NotifyFailures() const { return notifyFailures_; }

    // While held (the pilot answers a message), the saves the monitor asks
    // for wait; they run once the last hold is released.
    void Hold() { ++holdDepth_; }
    void Release();
    // Runs the saves held back, if nothing holds them any more.
    void RunHeldSaves();

signals:
    // A monitor was made and runs.
    void Started(zelk::TLogMonitorThread* monitor);
    // The monitor could not be made; the mode is off. `message` in Russian.
    void StartFailed(const QString& message);
    // The monitor in use ended on a fault; a fresh one follows unless GaveUp.
    void MonitorEnded(zelk::TLogMonitorThread::TEndReason reason, const QString& message);
    // Too many monitors in a row could not watch the root: the mode is off.
    void GaveUp(const QString& message);
    // A save the monitor asked for failed (the monitor ends on it, or a held
    // save was dropped). Never while a monitor's examination runs.
    void SaveFailed(const std::string& fileName, const QString& message);
    // After Stop, the last monitor still running has ended.
    void AllEnded();
    // A flight was recorded in the logbook: its start, or (`ended`) its end,
    // which is when the pilot may be asked how it went. Before the mission is
    // written anew.
    void FlightRecorded(int flightId, const std::string& fileName, bool ended);
    // The logbook could not be written; watching and saving go on.
    void LogbookFailed(const QString& message);

private:
    void OnEnded(TLogMonitorThread* monitor, TLogMonitorThread::TEndReason reason, const QString& message);
    void Save(const std::string& fileName);
    void Record(const std::function<int()>& record, const std::string& fileName, bool ended);
    // The monitor in use, if any, asked to stop and set aside.
    void Retire();

    TLogActions actions_;
    TWatchSettings watch_;
    bool active_ = false;
    // The file name from the last start line in the event log; it outlives
    // each monitor, so a fresh one still knows what is being flown.
    std::string playingMission_;
    QPointer<TLogMonitorThread> monitor_;
    // Monitors asked to stop whose threads may still be ending.
    std::vector<QPointer<TLogMonitorThread>> retiring_;
    int notifyFailures_ = 0;
    int holdDepth_ = 0;
    std::vector<std::string> heldSaves_;
    std::unique_ptr<TJournal> journal_;
    // Lives as long as the watch, across fresh monitors.
    std::optional<TFlightRecorder> recorder_;
};

}  // namespace zelk
