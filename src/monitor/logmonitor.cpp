#include "monitor/logmonitor.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QMetaObject>

#include <exception>
#include <utility>

namespace zelk {

namespace {

QString PathText(const std::filesystem::path& path) {
    const std::u8string u8 = path.u8string();
    return QString::fromUtf8(reinterpret_cast<const char*>(u8.data()), static_cast<qsizetype>(u8.size()));
}

}  // namespace

TLogMonitorThread* TLogMonitorThread::Create(const std::filesystem::path& folder, const std::string& eventLogName,
                                             bool keepEventLog, std::string& playingMission, TLogActions actions) {
    auto* monitor = new TLogMonitorThread(folder, eventLogName, keepEventLog, playingMission, std::move(actions));
    // The thread object lives on the creating thread, so this runs there,
    // after the run has ended.
    connect(monitor, &QThread::finished, monitor, &TLogMonitorThread::Finish);
    monitor->start(QThread::HighestPriority);
    return monitor;
}

TLogMonitorThread::TLogMonitorThread(const std::filesystem::path& folder, const std::string& eventLogName,
                                     bool keepEventLog, std::string& playingMission, TLogActions actions)
    : FExaminer(EventLogPath(folder, eventLogName), keepEventLog, playingMission),
      FActions(std::move(actions)),
      FFolderText(QDir::cleanPath(QDir(PathText(folder)).absolutePath())),
      FLogText(QDir::cleanPath(QDir(FFolderText).absoluteFilePath(PathText(FExaminer.LogFile())))) {}

void TLogMonitorThread::RequestStop() {
    FStop.store(true);
    // Ends the thread's event loop, and with it the wait for a change; also
    // when the loop has not started yet.
    quit();
}

void TLogMonitorThread::run() {
    const QString& folder = FFolderText;
    const QString logFolder = QFileInfo(FLogText).absolutePath();
    const bool logElsewhere = FLogText != folder && logFolder != folder;

    QFileSystemWatcher watcher;
    if (!watcher.addPath(folder)) {
        SetEnd(TEndReason::NotifyFailed,
               QStringLiteral("Не удаётся следить за изменениями в папке «%1».").arg(folder));
        return;
    }
    // A log named inside a sub-folder is created there, not in the root.
    if (logElsewhere && QFileInfo(logFolder).isDir())
        watcher.addPath(logFolder);
    WatchLog(watcher, false);

    auto changed = [this, &watcher](bool replaced) {
        if (FStop.load()) {
            quit();
            return;
        }
        // Re-arm before the examination: a write after this point is
        // notified again, one before it is read by the examination.
        WatchLog(watcher, replaced);
        if (!HandOff() || FStop.load())
            quit();
    };
    connect(&watcher, &QFileSystemWatcher::directoryChanged, &watcher, [changed] { changed(true); });
    connect(&watcher, &QFileSystemWatcher::fileChanged, &watcher, [changed] { changed(false); });

    if (!FStop.load())
        exec();
}

void TLogMonitorThread::WatchLog(QFileSystemWatcher& watcher, bool replaced) {
    const QString& log = FLogText;
    const bool watched = watcher.files().contains(log);
    // After a change in the folder the log may be a new file under the old
    // name; watching it anew costs little and never watches a stale one.
    if (watched && replaced)
        watcher.removePath(log);
    if ((!watched || replaced) && QFileInfo(log).isFile())
        watcher.addPath(log);
}

bool TLogMonitorThread::HandOff() {
    {
        std::lock_guard lock(FHandMutex);
        FHandFinished = false;
        FHandError.clear();
    }
    QMetaObject::invokeMethod(this, &TLogMonitorThread::Examine, Qt::QueuedConnection);
    QString error;
    {
        std::unique_lock lock(FHandMutex);
        FHandDone.wait(lock, [this] { return FHandFinished; });
        error = FHandError;
    }
    if (error.isEmpty())
        return true;
    SetEnd(TEndReason::CheckFailed, error);
    return false;
}

void TLogMonitorThread::Examine() {
    bool ran = false;
    bool examined = false;
    QString error;
    // A stop made while this was on its way means no further examination.
    if (!FStop.load()) {
        ran = true;
        try {
            examined = FExaminer.CheckLog(FActions).Examined;
        } catch (const std::exception& e) {
            error = QString::fromUtf8(e.what());
            if (error.isEmpty())
                error = QStringLiteral("Ошибка при разборе журнала событий.");
        } catch (...) {
            error = QStringLiteral("Неизвестная ошибка при разборе журнала событий.");
        }
    }
    if (ran && error.isEmpty())
        emit LogChecked(examined);
    {
        std::lock_guard lock(FHandMutex);
        FHandError = error;
        FHandFinished = true;
    }
    FHandDone.notify_one();
}

void TLogMonitorThread::SetEnd(TEndReason reason, const QString& message) {
    std::lock_guard lock(FEndMutex);
    FEndReason = reason;
    FEndMessage = message;
}

void TLogMonitorThread::Finish() {
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
