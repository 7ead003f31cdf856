#include "ui/instance.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocalSocket>

namespace zelk {

namespace {

const QByteArray kRequest = QByteArray(kInstanceName) + '\n';

}  // namespace

TInstanceGuard::TInstanceGuard(QString folder, QObject* parent)
    : QObject(parent), folder_(folder.isEmpty() ? QDir::tempPath() : std::move(folder)) {
    connect(&server_, &QLocalServer::newConnection, this, &TInstanceGuard::OnNewConnection);
}

TInstanceGuard::~TInstanceGuard() = default;

QString TInstanceGuard::LockPath() const {
    return QDir(folder_).filePath(QString::fromLatin1(kInstanceName) + QStringLiteral(".lock"));
}

QString TInstanceGuard::ServerName() const {
#ifdef Q_OS_WIN
    return QString::fromLatin1(kInstanceName);
#else
    return QDir(folder_).filePath(QString::fromLatin1(kInstanceName));
#endif
}

TInstanceCheck TInstanceGuard::CheckSingleInstance() {
    lock_ = std::make_unique<QLockFile>(LockPath());
    // Held for the life of the process: only a dead owner makes it stale,
    // never its age.
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(0)) {
        if (lock_->error() != QLockFile::LockFailedError) return TInstanceCheck::LockFailed;
        // Ask the running copy to come forward; whether it heard is not ours
        // to wait for beyond the hand-over of the request itself.
        QLocalSocket socket;
        socket.connectToServer(ServerName());
        if (socket.waitForConnected(1000)) {
            socket.write(kRequest);
            socket.waitForBytesWritten(1000);
            // The running copy hangs up once it has read the request. Leaving
            // first may lose it: Windows drops what a closed pipe still holds.
            if (socket.state() == QLocalSocket::ConnectedState) socket.waitForDisconnected(1000);
            socket.disconnectFromServer();
        }
        return TInstanceCheck::Second;
    }
    // We hold the lock, so a socket left behind by a copy that crashed is
    // nobody's: clear it before listening.
    QLocalServer::removeServer(ServerName());
    if (!server_.listen(ServerName())) return TInstanceCheck::ListenFailed;
    return TInstanceCheck::First;
}

void TInstanceGuard::OnNewConnection() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto readRequest = [this, socket] {
            if (!socket->canReadLine()) return;
            const QByteArray line = socket->readLine(256);
            if (line == kRequest) emit ActivationRequested();
            socket->disconnectFromServer();
        };
        connect(socket, &QLocalSocket::readyRead, this, readRequest);
        readRequest();
    }
}

QString InstanceErrorText(TInstanceCheck result) {
    switch (result) {
        case TInstanceCheck::LockFailed:
            return QCoreApplication::translate("zelk::TInstanceGuard", "Ошибка создания Mutex.");
        case TInstanceCheck::ListenFailed:
            return QCoreApplication::translate("zelk::TInstanceGuard",
                                               "Ошибка поиска стандартного обработчика сообщений приложения.");
        default:
            return QString();
    }
}

}  // namespace zelk
