// The simulator stand-in flies our missions and the monitor follows it.
#include <QProcess>
#include <QStringList>

#include "monitor/monitortest.h"
#include <algorithm>

#include "support/tempdir.h"

namespace zelk::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class OrvaksimTest : public MonitorFixture {
protected:
    fs::path missions = root / "Missions" / "Single" / "NN" / "ZELK";

    void SetUp() override {
        fs::create_directories(missions);
        std::ofstream(missions / "zelk0001.mis") << "[MAIN]\r\n";
        std::ofstream(missions / "zelk0002.mis") << "[MAIN]\r\n";
        // zelk0002.mis is the newest.
        fs::last_write_time(missions / "zelk0001.mis", fs::file_time_type::clock::now() - 1h);
    }

    void Configure(bool keep) {
        std::ofstream(root / "conf.ini") << "[core]\r\nx=1\r\n[game]\r\neventlog=eventlog.lst\r\neventlogkeep="
                                         << (keep ? 1 : 0) << "\r\n";
    }

    // Runs the stand-in without blocking the event loop, which the monitor
    // needs for its examinations.
    int Fly(const QStringList& extra, QString* output = nullptr) {
        QProcess sim;
        sim.setProcessChannelMode(QProcess::MergedChannels);
        QStringList args{"--root", QString::fromStdString(root.Path().string())};
        if (!extra.contains("--seconds"))
            args << "--seconds" << "0.2";
        sim.start(QStringLiteral(ZELK_BIN_DIR "/orvaksim"), args + extra);
        if (!sim.waitForStarted(10000))
            return -100;
        WaitUntil([&] { return sim.state() == QProcess::NotRunning; }, 20000);
        if (output)
            *output = QString::fromUtf8(sim.readAll());
        return sim.exitStatus() == QProcess::NormalExit ? sim.exitCode() : -101;
    }
};

TEST_F(OrvaksimTest, FlightsWithKeepAreEachWrittenAnew) {
    Configure(true);
    AppendText(log, "[11:00:00] earlier flights\r\n");
    Start(true);
    WaitArmed();
    QString output;
    ASSERT_EQ(Fly({}, &output), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("zelk0002.mis")) << output.toStdString();
    ASSERT_TRUE(WaitUntil([&] { return saved.size() == 1; }));
    EXPECT_EQ(saved[0], "zelk0002.mis");

    ASSERT_EQ(Fly({"--mission", "zelk0001.mis"}), 0);
    ASSERT_TRUE(WaitUntil([&] { return saved.size() == 2; }));
    EXPECT_EQ(saved[1], "zelk0001.mis");
    // The log kept everything: the earlier line and three lines per flight.
    const std::string text = ReadFileBytes(log);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 7);
}

TEST_F(OrvaksimTest, WithoutKeepEachFlightStartsAFreshLog) {
    Configure(false);
    AppendText(log, "[11:00:00] an old log\r\n");
    Start(false);
    WaitArmed();
    ASSERT_EQ(Fly({}), 0);
    ASSERT_TRUE(WaitUntil([&] { return saved.size() == 1; }));
    ASSERT_EQ(Fly({}), 0);
    ASSERT_TRUE(WaitUntil([&] { return saved.size() == 2; }));
    EXPECT_EQ(saved, (std::vector<std::string>{"zelk0002.mis", "zelk0002.mis"}));
    const std::string text = ReadFileBytes(log);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);
    EXPECT_EQ(text.find("an old log"), std::string::npos);
}

TEST_F(OrvaksimTest, RefusesWhatItCannotFly) {
    Configure(true);
    EXPECT_EQ(Fly({"--mission", "../conf.ini"}), 2);
    EXPECT_EQ(Fly({"--mission", "zelk0009.mis"}), 1);
    EXPECT_EQ(Fly({"--seconds", "-1"}), 2);
    EXPECT_EQ(Fly({"--seconds", "soon"}), 2);
    fs::remove_all(missions);
    EXPECT_EQ(Fly({}), 1);
    EXPECT_FALSE(fs::exists(log));
}

}  // namespace
}  // namespace zelk::test
