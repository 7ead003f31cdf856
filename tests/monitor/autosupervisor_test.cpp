// The supervision of auto-generation: a fresh monitor after each end, giving
// up on a root that cannot be watched, saves that fail or are held back.
#include "monitor/autosupervisor.h"

#include <stdexcept>

#include "files/error.h"
#include "monitortest.h"

namespace zelk::test {
namespace {

const std::string kStartA = "[12:00:01] Mission: Missions/Single/NN/ZELK/zelk0001.mis is Playing\r\n";
const std::string kStartB = "[12:10:01] Mission: Missions/Single/NN/ZELK/zelk0002.mis is Playing\r\n";
const std::string kEnd = "[12:05:00] Mission END\r\n";

class AutoSupervisorTest : public ::testing::Test {
protected:
    using TEndReason = TLogMonitorThread::TEndReason;

    TTempDir root;
    std::filesystem::path log = root / "eventlog.lst";
    std::set<std::string> listed{"zelk0001.mis", "zelk0002.mis"};
    std::vector<std::string> saved;
    int failSaves = 0;  // how many of the next saves fail
    TAutoSupervisor supervisor{TLogActions{[this](const std::string& name) { return listed.count(name) > 0; },
                                           [this](const std::string& name) {
                                               if (failSaves > 0) {
                                                   --failSaves;
                                                   throw TFileError(root / name, TFileError::kNoPosition, "disk full");
                                               }
                                               saved.push_back(name);
                                           }}};
    int started = 0;
    int checks = 0;
    int pokes = 0;
    std::vector<TEndReason> ends;
    std::vector<std::string> failedSaves;
    int gaveUp = 0;
    int allEnded = 0;

    void SetUp() override {
        QObject::connect(&supervisor, &TAutoSupervisor::Started, [this](TLogMonitorThread* m) {
            ++started;
            QObject::connect(m, &TLogMonitorThread::LogChecked, [this](bool) { ++checks; });
        });
        QObject::connect(&supervisor, &TAutoSupervisor::MonitorEnded,
                         [this](TEndReason reason, const QString&) { ends.push_back(reason); });
        QObject::connect(&supervisor, &TAutoSupervisor::SaveFailed,
                         [this](const std::string& name, const QString&) { failedSaves.push_back(name); });
        QObject::connect(&supervisor, &TAutoSupervisor::GaveUp, [this](const QString&) { ++gaveUp; });
        QObject::connect(&supervisor, &TAutoSupervisor::AllEnded, [this] { ++allEnded; });
        AppendText(log, "");
    }

    void Watch(const std::filesystem::path& folder) { supervisor.Start({folder, "eventlog.lst", true, 0}); }

    void WaitArmed() { WaitWatching(root.Path(), checks, pokes); }

    void TearDown() override {
        supervisor.Stop();
        EXPECT_TRUE(WaitUntil([&] { return !supervisor.AnyAlive(); }));
    }
};

TEST_F(AutoSupervisorTest, GivesUpOnARootThatCannotBeWatched) {
    Watch(root / "gone");
    ASSERT_TRUE(WaitUntil([&] { return gaveUp == 1; }));
    EXPECT_EQ(started, kNotifyAttempts);
    EXPECT_EQ(ends, std::vector<TEndReason>(kNotifyAttempts, TEndReason::NotifyFailed));
    Pause(200);
    EXPECT_EQ(started, kNotifyAttempts) << "a monitor was started after giving up";
    EXPECT_EQ(gaveUp, 1);
}

TEST_F(AutoSupervisorTest, AFailedSaveIsReportedAndTheNextMonitorCarriesOn) {
    failSaves = 1;
    Watch(root.Path());
    WaitArmed();
    AppendText(log, kStartA + kEnd);
    ASSERT_TRUE(WaitUntil([&] { return failedSaves.size() == 1 && started == 2; }));
    EXPECT_EQ(failedSaves[0], "zelk0001.mis");
    EXPECT_EQ(ends, std::vector<TEndReason>{TEndReason::CheckFailed});
    WaitArmed();
    AppendText(log, kStartB + kEnd);
    ASSERT_TRUE(WaitUntil([&] { return saved.size() == 1; }));
    EXPECT_EQ(saved[0], "zelk0002.mis");
    EXPECT_EQ(gaveUp, 0);
}

TEST_F(AutoSupervisorTest, HeldSavesRunOnceReleasedAndOnlyForListedMissions) {
    Watch(root.Path());
    WaitArmed();
    supervisor.Hold();
    supervisor.Hold();
    AppendText(log, kStartA + kEnd);
    WaitArmed();
    AppendText(log, kStartB + kEnd);
    WaitArmed();
    EXPECT_TRUE(saved.empty());
    listed.erase("zelk0002.mis");  // deleted while the pilot read the message
    supervisor.Release();
    Pause(50);
    EXPECT_TRUE(saved.empty()) << "one hold still stands";
    supervisor.Release();
    ASSERT_TRUE(WaitUntil([&] { return !saved.empty(); }));
    Pause(50);
    EXPECT_EQ(saved, std::vector<std::string>{"zelk0001.mis"});
}

TEST_F(AutoSupervisorTest, StopReportsTheLastEndAndStartsNoOther) {
    Watch(root.Path());
    WaitArmed();
    supervisor.Stop();
    ASSERT_TRUE(WaitUntil([&] { return allEnded == 1; }));
    EXPECT_FALSE(supervisor.AnyAlive());
    EXPECT_TRUE(ends.empty());
    EXPECT_EQ(started, 1);
}

}  // namespace
}  // namespace zelk::test
