// One copy at a time: a second start hands over to the running copy and ends.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "ui/instance.h"

#include <thread>

using namespace zelk;

namespace {

#ifdef Q_OS_WIN
QString ZelkProgram() { return QStringLiteral(ZELK_BIN_DIR "/zelk.exe"); }
#else
QString ZelkProgram() { return QStringLiteral(ZELK_BIN_DIR "/zelk"); }
#endif

// Lines of the activation log of the first copy, as "what pid".
QStringList LogLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool WaitForLine(const QString& path, const QString& line, int ms = 15000) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        if (LogLines(path).contains(line)) return true;
        QTest::qWait(50);
    }
    return false;
}

}  // namespace

class TestInstance : public QObject {
    Q_OBJECT
private slots:
    void lockThatCannotBeMade();
    void requestReachesTheFirstGuard();
    void secondCopyHandsOverAndEnds();
};

void TestInstance::lockThatCannotBeMade() {
    QTemporaryDir dir;
    TInstanceGuard guard(dir.filePath(QStringLiteral("no/such/folder")));
    const TInstanceCheck result = guard.CheckSingleInstance();
    QCOMPARE(result, TInstanceCheck::LockFailed);
    QCOMPARE(InstanceErrorText(result), QStringLiteral("Ошибка создания Mutex."));
    QCOMPARE(InstanceErrorText(TInstanceCheck::ListenFailed),
             QStringLiteral("Ошибка поиска стандартного обработчика сообщений приложения."));
}

void TestInstance::requestReachesTheFirstGuard() {
    QTemporaryDir dir;
    TInstanceGuard first(dir.path());
    QCOMPARE(first.CheckSingleInstance(), TInstanceCheck::First);
    QSignalSpy spy(&first, &TInstanceGuard::ActivationRequested);
    // The second copy is another program: it asks while this one listens.
    TInstanceCheck secondResult = TInstanceCheck::First;
    std::thread second([&] { secondResult = TInstanceGuard(dir.path()).CheckSingleInstance(); });
    const bool heard = spy.wait(5000);
    second.join();
    QCOMPARE(secondResult, TInstanceCheck::Second);
    QVERIFY(heard);
    QCOMPARE(spy.count(), 1);
}

void TestInstance::secondCopyHandsOverAndEnds() {
    QVERIFY2(QFile::exists(ZelkProgram()), qPrintable(ZelkProgram()));
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("activation.log"));
    QDir(dir.path()).mkpath(QStringLiteral("tmp/runtime"));
    QFile::setPermissions(dir.filePath(QStringLiteral("tmp/runtime")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QDir(dir.path()).mkpath(QStringLiteral("sim/ZELK"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // A private temporary folder keeps the lock and the socket away from any
    // copy of the program running on this machine.
    env.insert(QStringLiteral("TMPDIR"), dir.filePath(QStringLiteral("tmp")));
    env.insert(QStringLiteral("TEMP"), QDir::toNativeSeparators(dir.filePath(QStringLiteral("tmp"))));
    env.insert(QStringLiteral("TMP"), QDir::toNativeSeparators(dir.filePath(QStringLiteral("tmp"))));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.filePath(QStringLiteral("tmp/runtime")));
    env.insert(QStringLiteral("ZELK_ACTIVATION_LOG"), log);
#ifdef Q_OS_WIN
    // The program links only Windows' own platform; under Wine it draws on X.
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
#else
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
#endif
    // No data files: the window opens without any question.
    const QStringList args = {QStringLiteral("--root"), dir.filePath(QStringLiteral("sim")), QStringLiteral("--data"),
                              dir.filePath(QStringLiteral("sim/ZELK"))};
    auto start = [&](QProcess& p) {
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(dir.filePath(QStringLiteral("sim/ZELK")));
        p.start(ZelkProgram(), args);
        return p.waitForStarted(5000);
    };

    QProcess first;
    QVERIFY(start(first));
    const QString firstPid = QString::number(first.processId());
    QVERIFY(WaitForLine(log, QStringLiteral("ready ") + firstPid));

    QProcess second;
    QVERIFY(start(second));
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(second.readAllStandardError(), QByteArray());
    // The first copy heard the request and acted on it; the second never
    // became ready itself.
    QVERIFY(WaitForLine(log, QStringLiteral("activated ") + firstPid));
    QVERIFY(!LogLines(log).contains(QStringLiteral("ready ") + QString::number(second.processId())));
    QCOMPARE(first.state(), QProcess::Running);

    // The first copy dies without cleaning up: the next start takes over.
    first.kill();
    QVERIFY(first.waitForFinished(5000));
    QProcess third;
    QVERIFY(start(third));
    const QString thirdPid = QString::number(third.processId());
    QVERIFY(WaitForLine(log, QStringLiteral("ready ") + thirdPid));
    QCOMPARE(third.state(), QProcess::Running);

    QProcess fourth;
    QVERIFY(start(fourth));
    QVERIFY(fourth.waitForFinished(10000));
    QVERIFY(WaitForLine(log, QStringLiteral("activated ") + thirdPid));
    third.terminate();
    if (!third.waitForFinished(5000)) third.kill();
}

QTEST_GUILESS_MAIN(TestInstance)
#include "instance_test.moc"
