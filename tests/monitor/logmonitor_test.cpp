// The monitor thread on real files and real change notifications.
#include <QElapsedTimer>

#include <cstdio>

#include "files/error.h"
#include "monitor/monitortest.h"

namespace zelk::test {
namespace {

namespace fs = std::filesystem;

const std::string kStartA = "[12:00:01] Mission: Missions/Single/NN/ZELK/zelk0001.mis is Playing\r\n";
const std::string kStartB = "[12:10:01] Mission: Missions/Single/NN/ZELK/zelk0002.mis is Playing\r\n";
const std::string kEnd = "[12:05:00] Mission END\r\n";
const std::string kOther = "[12:00:00] some other event\r\n";

using LogMonitorTest = MonitorFixture;

TEST_F(LogMonitorTest, AppendsToTheLogWakeItAndTheSaveRunsOnTheCreatingThread) {
    AppendText(log, kOther);
    Start();
    WaitArmed();
    AppendText(log, kOther + kStartA);
    ASSERT_TRUE(WaitUntil([&] { return monitor->Examiner().Playing(); }));
    EXPECT_EQ(playing, "zelk0001.mis");

    // Written at once after the start line, most often within the same
    // two-second stamp.
    QElapsedTimer delay;
    delay.start();
    AppendText(log, kEnd);
    ASSERT_TRUE(WaitUntil([&] { return saved.size() == 1; }));
    std::printf("end line to save: %lld ms\n", static_cast<long long>(delay.elapsed()));
    EXPECT_EQ(saved[0], "zelk0001.mis");
    EXPECT_EQ(saveThreads[0], QCoreApplication::instance()->thread());
    EXPECT_FALSE(ended);
}

TEST_F(LogMonitorTest, WriteToAnotherFileWakesItButLeavesTheLogUnread) {
    AppendText(log, kStartA + kEnd);
    Start(false);
    WaitArmed();
    WaitArmed();
    EXPECT_GE(checks, 2);
    EXPECT_EQ(examined, 0);
    EXPECT_TRUE(saved.empty());
}

TEST_F(LogMonitorTest, StopEndsAWaitAtOnce) {
    Start();
    WaitArmed();
    QElapsedTimer delay;
    delay.start();
    monitor->RequestStop();
    ASSERT_TRUE(WaitUntil([&] { return ended; }));
    std::printf("stop to end notification: %lld ms\n", static_cast<long long>(delay.elapsed()));
    EXPECT_EQ(endReason, TEndReason::Stopped);
    EXPECT_TRUE(endMessage.isEmpty());
    EXPECT_TRUE(WaitUntil([&] { return monitor.isNull(); }));

    // Nothing is acted on after the stop.
    AppendText(log, kStartA + kEnd);
    Pause(200);
    EXPECT_TRUE(saved.empty());
}

TEST_F(LogMonitorTest, StopRightAfterCreation) {
    Start();
    monitor->RequestStop();
    ASSERT_TRUE(WaitUntil([&] { return ended; }));
    EXPECT_EQ(endReason, TEndReason::Stopped);
}

TEST_F(LogMonitorTest, StopMadeDuringASaveEndsTheRunAfterIt) {
    actions.SaveMission = [&](const std::string& name) {
        saved.push_back(name);
        monitor->RequestStop();
    };
    Start();
    WaitArmed();
    AppendText(log, kStartA + kEnd);
    ASSERT_TRUE(WaitUntil([&] { return ended; }));
    EXPECT_EQ(endReason, TEndReason::Stopped);
    EXPECT_EQ(saved, std::vector<std::string>{"zelk0001.mis"});
}

TEST_F(LogMonitorTest, LogCreatedAndReplacedLaterIsFollowed) {
    Start(false);
    WaitArmed();
    // Created after the monitor: the folder's notification finds it.
    AppendText(log, kStartA + kEnd);
    ASSERT_TRUE(WaitUntil([&] { return saved.size() == 1; }));

    // Replaced by a fresh file under the same name: appends to the new file
    // are followed too.
    const fs::path fresh = root / "eventlog.new";
    AppendText(fresh, kStartB);
    fs::rename(fresh, log);
    ASSERT_TRUE(WaitUntil([&] { return playing == "zelk0002.mis" && monitor->Examiner().Playing(); }));
    AppendText(log, kEnd);
    ASSERT_TRUE(WaitUntil([&] { return saved.size() == 2; }));
    EXPECT_EQ(saved[1], "zelk0002.mis");
}

TEST_F(LogMonitorTest, LogInASubFolderIsFollowed) {
    fs::create_directory(root / "logs");
    Start(true, "logs\\event.lst");
    WaitArmed();
    AppendText(root / "logs" / "event.lst", kStartB);
    ASSERT_TRUE(WaitUntil([&] { return monitor->Examiner().Playing(); }));
    AppendText(root / "logs" / "event.lst", kEnd);
    ASSERT_TRUE(WaitUntil([&] { return saved.size() == 1; }));
    EXPECT_EQ(saved[0], "zelk0002.mis");
}

TEST_F(LogMonitorTest, LogSubFolderMadeAfterTheStartIsFollowed) {
    Start(true, "logs\\event.lst");
    WaitArmed();
    // The simulator makes its log folder only now; once the monitor has seen
    // that, the log it then creates there and its appends are followed.
    const int before = checks;
    fs::create_directory(root / "logs");
    ASSERT_TRUE(WaitUntil([&] { return checks > before; }));
    AppendText(root / "logs" / "event.lst", kStartB);
    ASSERT_TRUE(WaitUntil([&] { return monitor->Examiner().Playing(); }));
    AppendText(root / "logs" / "event.lst", kEnd);
    ASSERT_TRUE(WaitUntil([&] { return saved.size() == 1; }));
    EXPECT_EQ(saved[0], "zelk0002.mis");
}

TEST_F(LogMonitorTest, RelativeRootFollowsTheLogInsideIt) {
    // A root given relative to the current folder must watch the same log
    // that the examination reads, not one below the root a second time.
    const fs::path previous = fs::current_path();
    fs::current_path(root.Path().parent_path());
    StartIn(root.Path().filename(), true, "eventlog.lst");
    WaitArmed();
    AppendText(log, kStartA);
    const bool playingSeen = WaitUntil([&] { return monitor->Examiner().Playing(); });
    AppendText(log, kEnd);
    const bool savedSeen = playingSeen && WaitUntil([&] { return saved.size() == 1; });
    fs::current_path(previous);
    ASSERT_TRUE(playingSeen);
    ASSERT_TRUE(savedSeen);
    EXPECT_EQ(saved[0], "zelk0001.mis");
}

TEST_F(LogMonitorTest, FolderThatCannotBeWatchedEndsTheRun) {
    StartIn(root / "missing", true, "eventlog.lst");
    ASSERT_TRUE(WaitUntil([&] { return ended; }));
    EXPECT_EQ(endReason, TEndReason::NotifyFailed);
    EXPECT_FALSE(endMessage.isEmpty());
}

TEST_F(LogMonitorTest, RootRemovedWhileWatchingEndsTheRun) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows keeps a watched folder until its watch is closed (delete pending), and Wine "
                    "never notifies its removal";
#endif
    const fs::path folder = root / "sim";
    fs::create_directory(folder);
    StartIn(folder, true, "eventlog.lst");
    // Armed once a write in the folder is seen.
    for (int i = 0; i < 200 && checks == 0; ++i) {
        std::ofstream(folder / ("poke" + std::to_string(i) + ".txt")) << "x";
        WaitUntil([&] { return checks > 0; }, 25);
    }
    ASSERT_GT(checks, 0);
    fs::remove_all(folder);
    ASSERT_TRUE(WaitUntil([&] { return ended; }));
    EXPECT_EQ(endReason, TEndReason::NotifyFailed);
    EXPECT_FALSE(endMessage.isEmpty());
}

TEST_F(LogMonitorTest, SaveErrorEndsTheRunWithItsMessage) {
    actions.SaveMission = [&](const std::string&) {
        throw TFileError(root / "zelk0001.mis", TFileError::kNoPosition, "диск полон");
    };
    Start();
    WaitArmed();
    AppendText(log, kStartA + kEnd);
    ASSERT_TRUE(WaitUntil([&] { return ended; }));
    EXPECT_EQ(endReason, TEndReason::CheckFailed);
    EXPECT_TRUE(endMessage.contains(QStringLiteral("диск полон"))) << endMessage.toStdString();
}

}  // namespace
}  // namespace zelk::test
