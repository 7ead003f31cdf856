#pragma once
// One copy of the program at a time. The first copy holds a lock file and
// listens on a local socket, both named "ZELK_Made_For_Virelan"; a second
// copy finds the lock taken, asks the first to come forward and ends.
#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

namespace zelk {

inline constexpr char kInstanceName[] = "ZELK_Made_For_Virelan";

enum class TInstanceCheck {
    First,         // this copy runs; activation requests arrive by signal
    Second,        // another copy runs and has been asked to come forward
    LockFailed,    // the lock could not be made at all
    ListenFailed,  // the activation listener could not be set up
};

class TInstanceGuard : public QObject {
    Q_OBJECT
public:
    // `folder` holds the lock file (and, off Windows, the socket); the
    // system's temporary folder by default.
    explicit TInstanceGuard(QString folder = QString(), QObject* parent = nullptr);
    ~TInstanceGuard() override;

    TInstanceCheck CheckSingleInstance();
    QString LockPath() const;
    QString ServerName() const;

signals:
    // A later copy asked this one to come to the front.
    void ActivationRequested();

private:
    void OnNewConnection();

    QString folder_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer server_;
};

// The message shown for a failed start, "" for First and Second.
QString InstanceErrorText(TInstanceCheck result);

}  // namespace zelk
