#include "monitor/logmonitor.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QMetaObject>
#include <QThread>

#include <exception>
#include <system_error>
#include <utility>

#include "files/error.h"
#include "files/paths.h"
#include "monitor/qtpath.h"
#include "text/tr.h"

namespace zelk {

TLogMonitorThread* TLogMonitorThread::Create(const std::filesystem::path& folder, const std::string& eventLogName,
                                             bool keepEventLog, std::string& playingMission, TLogActions actions) {
    auto* monitor = new TLogMonitorThread(folder, eventLogName, keepEventLog, playingMission, std::move(actions));
    // Both connections are made here, on the creating thread, so their slots
    // run here; the monitor thread only emits.
    connect(monitor, &TLogMonitorThread::ChangeSeen, monitor, &TLogMonitorThread::Examine, Qt::QueuedConnection);
    connect(monitor, &TLogMonitorThread::RunEnded, monitor, &TLogMonitorThread::Finish, Qt::QueuedConnection);
    try {
        monitor->FThread = std::thread([monitor] { monitor->Run(); });
    } catch (const std::system_error&) {
        delete monitor;
        throw TFileError(folder, TFileError::kNoPosition,
                         Tr("zelk::TLogMonitor", "не удаётся запустить наблюдение за журналом событий"));
    }
    return monitor;
}

TLogMonitorThread::TLogMonitorThread(const std::filesystem::path& folder, const std::string& eventLogName,
                                     bool keepEventLog, std::string& playingMission, TLogActions actions)
    : FExaminer(EventLogPath(folder, eventLogName), keepEventLog, playingMission),
      FActions(std::move(actions)),
      FFolderText(QDir::cleanPath(QDir(QPathText(folder)).absolutePath())),
      FLogText(QDir::cleanPath(QFileInfo(QPathText(FExaminer.LogFile())).absoluteFilePath())) {}

TLogMonitorThread::~TLogMonitorThread() {
    if (FThread.joinable()) {
        RequestStop();
        FThread.join();
    }
}

void TLogMonitorThread::RequestStop() {
    {
        std::lock_guard lock(FHandMutex);
        FStop.store(true);
    }
    FHandDone.notify_all();
    std::lock_guard lock(FLoopMutex);
    // Posted rather than called: a quit made just before the loop starts
    // would otherwise be forgotten when it does.
    if (FLoop) QMetaObject::invokeMethod(FLoop, "quit", Qt::QueuedConnection);
}

void TLogMonitorThread::Run() {
    QThread::currentThread()->setPriority(QThread::HighestPriority);
    {
        QEventLoop loop;
        QFileSystemWatcher watcher;
        if (!watcher.addPath(FFolderText)) {
            SetEnd(TEndReason::NotifyFailed,
                   QString::fromStdString(Tr("zelk::TLogMonitor", "Не удаётся следить за изменениями в папке «%1»."))
                       .arg(FFolderText));
        } else {
            // A log named inside a sub-folder is created there, not in the root;
            // the simulator may make that folder only after we started.
            const QString logFolder = QFileInfo(FLogText).absolutePath();
            const bool logInSubFolder = FLogText != FFolderText && logFolder != FFolderText;
            auto watchLogFolder = [&watcher, &logFolder, logInSubFolder] {
                if (logInSubFolder && !watcher.directories().contains(logFolder) && QFileInfo(logFolder).isDir())
                    watcher.addPath(logFolder);
            };
            watchLogFolder();
            WatchLog(watcher, false);

            auto changed = [this, &watcher, &loop, &watchLogFolder](bool replaced) {
                if (FStop.load()) {
                    loop.quit();
                    return;
                }
                // The watch is lost with the folder: nothing would ever wake
                // this monitor again, so its run ends like a failed wait.
                if (!QFileInfo(FFolderText).isDir()) {
                    SetEnd(TEndReason::NotifyFailed,
                           QString::fromStdString(Tr("zelk::TLogMonitor", "Папка «%1» больше не существует."))
                               .arg(FFolderText));
                    loop.quit();
                    return;
                }
                // Re-armed before the examination: a write after this point
                // is notified again, one before it is read by the examination.
                watchLogFolder();
                WatchLog(watcher, replaced);
                if (!HandOff() || FStop.load()) loop.quit();
            };
            connect(&watcher, &QFileSystemWatcher::directoryChanged, &watcher, [changed] { changed(true); });
            connect(&watcher, &QFileSystemWatcher::fileChanged, &watcher, [changed] { changed(false); });

            {
                std::lock_guard lock(FLoopMutex);
                FLoop = &loop;
            }
            if (!FStop.load()) loop.exec();
            std::lock_guard lock(FLoopMutex);
            FLoop = nullptr;
        }
    }
    emit RunEnded(QPrivateSignal());
}

void TLogMonitorThread::WatchLog(QFileSystemWatcher& watcher, bool replaced) {
    const bool watched = watcher.files().contains(FLogText);
    // After a change in the folder the log may be a new file under the old
    // name; watching it anew costs little and never watches a stale one.
    if (watched && replaced) watcher.removePath(FLogText);
    if ((!watched || replaced) && QFileInfo(FLogText).isFile()) watcher.addPath(FLogText);
}

bool TLogMonitorThread::HandOff() {
    {
        std::lock_guard lock(FHandMutex);
        if (FStop.load()) return true;
        FHandFinished = false;
        FHandError.clear();
    }
    emit ChangeSeen(QPrivateSignal());
    QString error;
    {
        std::unique_lock lock(FHandMutex);
        // A stop lets this thread go at once; the examination on its way
        // then finds the stop and does nothing.
        FHandDone.wait(lock, [this] { return FHandFinished || FStop.load(); });
        if (!FHandFinished) return true;
        error = FHandError;
    }
    if (error.isEmpty()) return true;
    SetEnd(TEndReason::CheckFailed, error);
    return false;
}

void TLogMonitorThread::SetEnd(TEndReason reason, const QString& message) {
    std::lock_guard lock(FEndMutex);
    FEndReason = reason;
    FEndMessage = message;
}

void TLogMonitorThread::Examine() {
    QString error;
    // A stop made while this was on its way means no further examination.
    if (!FStop.load()) {
        FExamining = true;
        bool examined = false;
        try {
            examined = FExaminer.CheckLog(FActions).Examined;
        } catch (const std::exception& e) {
            error = QString::fromUtf8(e.what());
            if (error.isEmpty())
                error = QString::fromStdString(Tr("zelk::TLogMonitor", "Ошибка при разборе журнала событий."));
        } catch (...) {
            error = QString::fromStdString(Tr("zelk::TLogMonitor", "Неизвестная ошибка при разборе журнала событий."));
        }
        if (error.isEmpty()) emit LogChecked(examined);
        FExamining = false;
    }
    {
        std::lock_guard lock(FHandMutex);
        FHandError = error;
        FHandFinished = true;
    }
    FHandDone.notify_all();
    if (FFinishPending) {
        FFinishPending = false;
        QMetaObject::invokeMethod(this, &TLogMonitorThread::Finish, Qt::QueuedConnection);
    }
}

void TLogMonitorThread::Finish() {
    // The run can end during an examination (a stop from inside the save);
    // the monitor must outlive it.
    if (FExamining) {
        FFinishPending = true;
        return;
    }
    // The thread's last act was to ask for this: the join is immediate.
    if (FThread.joinable()) FThread.join();
    TEndReason reason;
    QString message;
    {
        std::lock_guard lock(FEndMutex);
        reason = FEndReason;
        message = FEndMessage;
    }
    emit Ended(this, reason, message);
    deleteLater();
}

}  // namespace zelk
