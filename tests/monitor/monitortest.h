#pragma once
// Shared set-up of the monitor tests: a temporary simulator root, a monitor
// over it that records what it saves, and waiting in the event loop.
#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "monitor/logmonitor.h"
#include "support/tempdir.h"

namespace zelk::test {

// Runs the event loop until `done` holds or `ms` milliseconds have passed.
inline bool WaitUntil(const std::function<bool()>& done, int ms = 10000) {
    if (done()) return true;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done()) loop.quit();
    });
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    poll.start(2);
    loop.exec();
    return done();
}

// Lets the event loop run for `ms` milliseconds.
inline void Pause(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Creates new files in `folder` until a monitor there reacts (its count of
// checks grows): its watch is then in place. `pokes` numbers the files.
inline void WaitWatching(const std::filesystem::path& folder, const int& checks, int& pokes) {
    const int before = checks;
    for (int i = 0; i < 200 && checks == before; ++i) {
        std::ofstream(folder / ("poke" + std::to_string(pokes++) + ".txt")) << "x";
        WaitUntil([&] { return checks > before; }, 25);
    }
    ASSERT_GT(checks, before) << "the monitor never reacted to a write in its folder";
}

inline void AppendText(const std::filesystem::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary | std::ios::app);
    out << text;
}

class MonitorFixture : public ::testing::Test {
protected:
    using TEndReason = TLogMonitorThread::TEndReason;

    TTempDir root;
    std::filesystem::path log = root / "eventlog.lst";
    std::string playing;
    std::set<std::string> listed{"zelk0001.mis", "zelk0002.mis", "zelk0003.mis"};
    std::vector<std::string> saved;
    std::vector<QThread*> saveThreads;
    TLogActions actions{[this](const std::string& name) { return listed.count(name) > 0; },
                        [this](const std::string& name) {
                            saveThreads.push_back(QThread::currentThread());
                            saved.push_back(name);
                        }};

    QPointer<TLogMonitorThread> monitor;
    bool ended = false;
    TEndReason endReason = TEndReason::Stopped;
    QString endMessage;
    int checks = 0;
    int examined = 0;
    int pokes = 0;

    void Start(bool keep = true, const std::string& logName = "eventlog.lst") { StartIn(root.Path(), keep, logName); }

    void StartIn(const std::filesystem::path& folder, bool keep, const std::string& logName) {
        monitor = TLogMonitorThread::Create(folder, logName, keep, playing, actions);
        QObject::connect(monitor, &TLogMonitorThread::Ended,
                         [this](TLogMonitorThread*, TEndReason reason, const QString& message) {
                             ended = true;
                             endReason = reason;
                             endMessage = message;
                         });
        QObject::connect(monitor, &TLogMonitorThread::LogChecked, [this](bool wasExamined) {
            ++checks;
            if (wasExamined) ++examined;
        });
    }

    void WaitArmed() { WaitWatching(root.Path(), checks, pokes); }

    void TearDown() override {
        if (monitor) monitor->RequestStop();
        // The monitor deletes itself after its end notification.
        EXPECT_TRUE(WaitUntil([&] { return monitor.isNull(); }));
    }
};

}  // namespace zelk::test
