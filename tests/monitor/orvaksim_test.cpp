// The simulator stand-in flies our missions and the monitor follows it.
#include <QProcess>
#include <QStringList>

#include "monitor/monitortest.h"
#include <algorithm>
#include <string>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

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
    // needs for its examinations. On POSIX through posix_spawn: QProcess's
    // way of starting a child is more than ThreadSanitizer can follow.
    int Fly(const std::vector<std::string>& extra, std::string* output = nullptr) {
        std::vector<std::string> args{ZELK_BIN_DIR "/orvaksim", "--root", root.Path().string()};
        if (std::find(extra.begin(), extra.end(), "--seconds") == extra.end())
            args.insert(args.end(), {"--seconds", "0.2"});
        args.insert(args.end(), extra.begin(), extra.end());
        const fs::path out = root / "orvaksim.out";
#ifdef _WIN32
        int code = 0;
        {  // gone before the output is read and removed: it holds the file open
            QProcess sim;
            sim.setProcessChannelMode(QProcess::MergedChannels);
            sim.setStandardOutputFile(QString::fromStdWString(out.wstring()));
            QStringList list;
            for (std::size_t i = 1; i < args.size(); ++i) list << QString::fromStdString(args[i]);
            sim.start(QString::fromStdString(args[0]), list);
            if (!sim.waitForStarted(10000)) return -100;
            WaitUntil([&] { return sim.state() == QProcess::NotRunning; }, 20000);
            code = sim.exitStatus() == QProcess::NormalExit ? sim.exitCode() : -101;
        }
#else
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        pid_t pid = 0;
        const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) return -100;
        int status = 0;
        WaitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; }, 20000);
        const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -101;
#endif
        if (output) *output = ReadFileBytes(out);
        // Wine may still hold it a moment; the next flight overwrites it anyway.
        std::error_code ignored;
        fs::remove(out, ignored);
        return code;
    }
};

TEST_F(OrvaksimTest, FlightsWithKeepAreEachWrittenAnew) {
    Configure(true);
    AppendText(log, "[11:00:00] earlier flights\r\n");
    Start(true);
    WaitArmed();
    std::string output;
    ASSERT_EQ(Fly({}, &output), 0) << output;
    EXPECT_NE(output.find("flying Missions/Single/NN/ZELK/zelk0002.mis"), std::string::npos) << output;
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
