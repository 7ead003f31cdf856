#include "monitor/autosupervisor.h"

#include <QTimer>

#include <algorithm>
#include <ctime>
#include <exception>

namespace zelk {

TAutoSupervisor::TAutoSupervisor(TLogActions actions, QObject* parent)
    : QObject(parent), actions_(std::move(actions)) {}

TAutoSupervisor::~TAutoSupervisor() { DeleteMonitors(); }

void TAutoSupervisor::Start(const TWatchSettings& watch) {
    // Never two monitors at once: one still held is asked to stop.
    Retire();
    const bool sameLogbook = recorder_ && watch.LogbookFile == watch_.LogbookFile;
    watch_ = watch;
    active_ = true;
    if (!sameLogbook) {
        recorder_.reset();
        journal_ = watch_.JournalFile.empty() ? nullptr : std::make_unique<TJournal>(watch_.JournalFile);
        if (!watch_.LogbookFile.empty()) recorder_.emplace(TLogbook(watch_.LogbookFile), journal_.get());
    }
    TLogActions actions;
    actions.IsListedMission = actions_.IsListedMission;
    actions.SaveMission = [this](const std::string& fileName) { Save(fileName); };
    if (recorder_) {
        actions.FlightStarted = [this](const std::string& fileName, std::string_view line, std::int64_t offset) {
            const std::string text(line);
            Record([=, this] { return recorder_->Started(fileName, text, offset, std::time(nullptr)); }, fileName,
                   false);
        };
        actions.FlightEnded = [this](const std::string& fileName) {
            Record([this] { return recorder_->Ended(std::time(nullptr)); }, fileName, true);
        };
    }
    TLogMonitorThread* monitor = nullptr;
    try {
        monitor = TLogMonitorThread::Create(watch_.Root, watch_.EventLogName, watch_.KeepEventLog, playingMission_,
                                            std::move(actions));
    } catch (const std::exception& e) {
        active_ = false;
        notifyFailures_ = 0;
        emit StartFailed(QString::fromUtf8(e.what()));
        return;
    }
    monitor_ = monitor;
    connect(monitor, &TLogMonitorThread::Ended, this, &TAutoSupervisor::OnEnded);
    connect(monitor, &TLogMonitorThread::LogChecked, this, [this, monitor] {
        if (monitor == monitor_.data()) notifyFailures_ = 0;
    });
    emit Started(monitor);
}

void TAutoSupervisor::Stop() {
    active_ = false;
    Retire();
    notifyFailures_ = 0;
}

void TAutoSupervisor::Retire() {
    std::erase_if(retiring_, [](const QPointer<TLogMonitorThread>& m) { return m.isNull(); });
    if (monitor_) {
        monitor_->RequestStop();
        retiring_.push_back(monitor_);
    }
    monitor_.clear();
}

bool TAutoSupervisor::AnyAlive() const {
    return monitor_ || std::any_of(retiring_.begin(), retiring_.end(),
                                   [](const QPointer<TLogMonitorThread>& m) { return !m.isNull(); });
}

void TAutoSupervisor::DeleteMonitors() {
    active_ = false;
    // Deleting a running monitor stops it and joins its thread.
    delete monitor_.data();
    for (const QPointer<TLogMonitorThread>& monitor : retiring_) delete monitor.data();
    retiring_.clear();
}

void TAutoSupervisor::OnEnded(TLogMonitorThread* monitor, TLogMonitorThread::TEndReason reason,
                              const QString& message) {
    if (monitor == nullptr || monitor != monitor_.data()) {
        // The late end of a monitor stopped before: the mode has moved on.
        std::erase_if(retiring_,
                      [monitor](const QPointer<TLogMonitorThread>& m) { return m.isNull() || m.data() == monitor; });
        if (!AnyAlive()) emit AllEnded();
        return;
    }
    monitor_.clear();
    if (reason == TLogMonitorThread::TEndReason::NotifyFailed) {
        ++notifyFailures_;
    } else {
        notifyFailures_ = 0;
    }
    emit MonitorEnded(reason, message);
    if (!active_) return;
    if (notifyFailures_ >= kNotifyAttempts) {
        active_ = false;
        notifyFailures_ = 0;
        emit GaveUp(message);
        return;
    }
    if (reason == TLogMonitorThread::TEndReason::NotifyFailed && watch_.NotifyRetryMs > 0) {
        QTimer::singleShot(watch_.NotifyRetryMs, this, [this] {
            if (active_ && !monitor_) Start(TWatchSettings(watch_));
        });
        return;
    }
    Start(TWatchSettings(watch_));
}

void TAutoSupervisor::Record(const std::function<int()>& record, const std::string& fileName, bool ended) {
    // A logbook that cannot be written never stops the save that follows.
    try {
        const int id = record();
        if (id > 0) emit FlightRecorded(id, fileName, ended);
    } catch (const std::exception& e) {
        const QString message = QString::fromUtf8(e.what());
        QTimer::singleShot(0, this, [this, message] { emit LogbookFailed(message); });
    }
}

void TAutoSupervisor::Save(const std::string& fileName) {
    if (holdDepth_ > 0) {
        heldSaves_.push_back(fileName);
        return;
    }
    try {
        actions_.SaveMission(fileName);
    } catch (const std::exception& e) {
        // The monitor ends on the error and a fresh one follows; the report
        // waits until the examination that asked for the save is over.
        const QString message = QString::fromUtf8(e.what());
        QTimer::singleShot(0, this, [this, fileName, message] { emit SaveFailed(fileName, message); });
        throw;
    }
}

void TAutoSupervisor::Release() {
    if (holdDepth_ > 0) --holdDepth_;
    if (holdDepth_ == 0 && !heldSaves_.empty()) QTimer::singleShot(0, this, &TAutoSupervisor::RunHeldSaves);
}

void TAutoSupervisor::RunHeldSaves() {
    while (holdDepth_ == 0 && !heldSaves_.empty()) {
        const std::string fileName = heldSaves_.front();
        heldSaves_.erase(heldSaves_.begin());
        if (!actions_.IsListedMission || !actions_.IsListedMission(fileName)) continue;
        try {
            actions_.SaveMission(fileName);
        } catch (const std::exception& e) {
            emit SaveFailed(fileName, QString::fromUtf8(e.what()));
        }
    }
}

}  // namespace zelk
