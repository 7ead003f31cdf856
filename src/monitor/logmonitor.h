#pragma once
// The event-log monitor: a thread that only waits for writes in the
// simulator's root folder and hands every examination of the log, with the
// save it may lead to, to the thread that created it (the user-interface
// thread), one at a time, waiting until it has run.
#include <QString>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>

#include "launch/logexaminer.h"

class QFileSystemWatcher;

namespace zelk {

class TLogMonitorThread final : public QThread {
    Q_OBJECT

public:
    enum class TEndReason {
        Stopped,       // the stop request
        NotifyFailed,  // the root folder could not be watched
        CheckFailed,   // the log could not be read, or the save failed
    };
    Q_ENUM(TEndReason)

    // The creation steps, on the calling thread, which must run an event loop
    // (the user-interface thread): the examiner takes the log's stamp and,
    // with keepEventLog, its size. Then the run starts at once, at the
    // highest priority. Throws TFileError when the log exists but cannot be
    // opened; no monitor runs then.
    //
    // The monitor owns itself: it emits Ended once its run is over, for
    // whatever reason, and is deleted after that (keep it in a QPointer).
    // `playingMission` must outlive it. `eventLogName` is UTF-8, relative to
    // `folder`; an empty name makes a monitor that waits and never acts.
    static TLogMonitorThread* Create(const std::filesystem::path& folder, const std::string& eventLogName,
                                     bool keepEventLog, std::string& playingMission, TLogActions actions);

    // Asks the run to end (any thread). A wait in progress ends at once; no
    // further examination is run, also none already on its way to the
    // creating thread. Never wait() for the thread from the creating thread:
    // wait for Ended instead.
    void RequestStop();
    bool StopRequested() const { return FStop.load(); }

    // The examiner's state; only on the creating thread.
    const TLogExaminer& Examiner() const { return FExaminer; }

signals:
    // On the creating thread, once, when the run has ended. After a stop the
    // reason is Stopped: an owner that has meanwhile started another monitor
    // can tell this late notification from the end of the monitor it holds.
    // `message` is empty for a stop, else a Russian description.
    void Ended(zelk::TLogMonitorThread* monitor, zelk::TLogMonitorThread::TEndReason reason,
               const QString& message);
    // On the creating thread after every examination handed over;
    // `examined` tells whether the log had changed and was read.
    void LogChecked(bool examined);

protected:
    void run() override;

private:
    TLogMonitorThread(const std::filesystem::path& folder, const std::string& eventLogName, bool keepEventLog,
                      std::string& playingMission, TLogActions actions);

    // Monitor thread: watches the log file itself (a folder watch does not
    // see appends everywhere), again after it was created or replaced.
    void WatchLog(QFileSystemWatcher& watcher, bool replaced);
    // Monitor thread: has the creating thread examine the log and waits.
    // False when the examination failed.
    bool HandOff();
    // Creating thread.
    void Examine();
    void Finish();
    void SetEnd(TEndReason reason, const QString& message);

    // Only on the creating thread.
    TLogExaminer FExaminer;
    const TLogActions FActions;
    // The watched folder and the log as the watcher takes them; fixed at
    // creation, so the monitor thread reads them without the examiner.
    const QString FFolderText;
    const QString FLogText;
    std::atomic<bool> FStop{false};

    // The hand-off of one examination and its outcome.
    std::mutex FHandMutex;
    std::condition_variable FHandDone;
    bool FHandFinished = false;
    QString FHandError;

    // Why the run ended; set on the monitor thread, read after it ended.
    std::mutex FEndMutex;
    TEndReason FEndReason = TEndReason::Stopped;
    QString FEndMessage;
};

}  // namespace zelk
