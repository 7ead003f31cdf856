#pragma once
// The event-log monitor: a thread that only waits for writes in the
// simulator's root folder and hands every examination of the log, with the
// save it may lead to, to the thread that created it (the user-interface
// thread), one at a time, waiting until it has run.
#include <QObject>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

#include "eventlog/logexaminer.h"

class QEventLoop;
class QFileSystemWatcher;

namespace zelk {

// The thread is a std::thread running a Qt event loop of its own, rather than
// a QThread: its end is then joined, so every hand-over between the two
// threads is visible to ThreadSanitizer, and the object can be deleted at
// once after the end.
class TLogMonitorThread final : public QObject {
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

    // Deleting a monitor that still runs (at program end, say) stops it and
    // joins its thread without emitting Ended; that takes moments, as the
    // thread never waits for this one after a stop. Not from its own signals
    // or actions.
    ~TLogMonitorThread() override;

    // Asks the run to end. A wait in progress ends at once; no further
    // examination is run, also none already on its way to this thread.
    void RequestStop();
    bool StopRequested() const { return FStop.load(); }

    // The examiner's state; only on the creating thread.
    const TLogExaminer& Examiner() const { return FExaminer; }

signals:
    // On the creating thread, once, when the run has ended. After a stop the
    // reason is Stopped: an owner that has meanwhile started another monitor
    // can tell this late notification from the end of the monitor it holds.
    // `message` is empty for a stop, else a Russian description.
    void Ended(zelk::TLogMonitorThread* monitor, zelk::TLogMonitorThread::TEndReason reason, const QString& message);
    // On the creating thread after every examination handed over;
    // `examined` tells whether the log had changed and was read.
    void LogChecked(bool examined);

    // From the monitor's thread to the creating thread.
    void ChangeSeen(QPrivateSignal);
    void RunEnded(QPrivateSignal);

private:
    TLogMonitorThread(const std::filesystem::path& folder, const std::string& eventLogName, bool keepEventLog,
                      std::string& playingMission, TLogActions actions);

    // Monitor thread.
    void Run();
    // Watches the log file itself (a folder watch does not see appends
    // everywhere), again after it was created or replaced.
    void WatchLog(QFileSystemWatcher& watcher, bool replaced);
    // Has the creating thread examine the log and waits for it; false when
    // the examination failed.
    bool HandOff();
    void SetEnd(TEndReason reason, const QString& message);

    // Creating thread.
    void Examine();
    void Finish();

    // Only on the creating thread.
    TLogExaminer FExaminer;
    const TLogActions FActions;
    bool FExamining = false;
    bool FFinishPending = false;
    // The watched folder and the log as the watcher takes them; fixed at
    // creation, so the monitor thread reads them without the examiner.
    const QString FFolderText;
    const QString FLogText;

    std::atomic<bool> FStop{false};
    std::thread FThread;

    // The monitor thread's event loop while it runs, for the stop request.
    std::mutex FLoopMutex;
    QEventLoop* FLoop = nullptr;

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
