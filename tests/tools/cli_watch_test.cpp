// `zelk-cli watch` end to end: the real program follows a log that the test
// writes as the simulator would, and writes finished missions anew.
#include <csignal>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

#include <nlohmann/json.hpp>

#include "cli_harness.h"

namespace zelk::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Json = nlohmann::ordered_json;

void Append(const fs::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary | std::ios::app);
    out << text;
    out.flush();
    ASSERT_TRUE(out.good());
}

std::string StartLine(const std::string& fileName) {
    return "[12:00:01] Loading mission Missions/Single/NN/ZELK/" + fileName + " ... Mission: /" + fileName +
           " is Playing\r\n";
}
const char* const kEndLine = "[12:05:00] Mission END\r\n";

// Saving puts a complete new file in place by renaming, so a rewrite shows
// as a new file identity even when the random choices happen to repeat.
std::uint64_t Inode(const fs::path& file) { return FileIdentity(file); }

class TWatch {
public:
    explicit TWatch(const TSimFolder& sim, std::vector<std::string> extra = {})
        : stopFile_(sim.DataDir() / "watch.stop") {
        std::vector<std::string> args = sim.Common();
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back("watch");
        child_ = std::make_unique<TChild>(CliPath(), args);
    }
    // Started from `cwd` with exactly these arguments.
    TWatch(const fs::path& cwd, const std::vector<std::string>& args, const fs::path& dataDir)
        : stopFile_(dataDir / "watch.stop") {
        child_ = std::make_unique<TChild>(CliPath(), args, cwd);
    }

    TChild& Child() { return *child_; }

    // The program says on stderr when it follows the log; the monitor's own
    // thread arms its watch right after, so give it a moment.
    void WaitReady() {
        auto deadline = Clock::now() + 20s;
        while (child_->Err().find("слежу за журналом") == std::string::npos) {
            ASSERT_LT(Clock::now(), deadline) << child_->Err();
            child_->Pump(Clock::now() + 50ms);
        }
        std::this_thread::sleep_for(500ms);
    }

    // Appends the end line and waits until the mission file has been
    // replaced; returns the delay from the write to the rewritten file.
    std::chrono::milliseconds EndAndWaitForRewrite(const fs::path& file, const fs::path& log) {
        const std::uint64_t before = Inode(file);
        auto t0 = Clock::now();
        Append(log, kEndLine);
        while (Clock::now() - t0 < 20s) {
            std::uint64_t now = Inode(file);
            if (now != 0 && now != before)
                return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0);
            child_->Pump(Clock::now() + 2ms);
        }
        ADD_FAILURE() << "no rewrite of " << file << "; stderr: " << child_->Err();
        return 0ms;
    }

    // On Windows by the stop file: Ctrl+Break reaches only programs on the
    // sender's console, and a test run under ctest has none.
    int Stop(int sig = SIGTERM) {
#ifdef _WIN32
        (void)sig;
        RequestStop();
#else
        child_->Stop(sig);
#endif
        return WaitForEnd();
    }
    void RequestStop() { WriteFileBytes(stopFile_, ""); }
    int WaitForEnd() {
        auto code = child_->Wait(10s);
        EXPECT_TRUE(code.has_value()) << "watch did not end within 10 s of the stop request; stderr: " << child_->Err();
        return code.value_or(-1);
    }

private:
    fs::path stopFile_;
    std::unique_ptr<TChild> child_;
};

Json Show(const TSimFolder& sim, const std::string& file) {
    TRunResult r = sim.Cli({"show", file, "--json"});
    EXPECT_EQ(r.Code, 0) << r.Err;
    return Json::parse(r.Out);
}

void WriteConf(const TSimFolder& sim, bool keep) {
    WriteFileBytes(sim.Root() / "conf.ini",
                   std::string("[window]\r\nwidth=800\r\n[game]\r\neventlog=eventlog.lst\r\n") +
                       "eventlogkeep=" + (keep ? "1" : "0") + "\r\n");
}

TEST(CliWatch, RewritesEachFinishedMissionAndIgnoresTheRest) {
    TSimFolder sim;
    ASSERT_EQ(sim.Cli({"new", "--difficulty", "1", "--fighters", "2", "--random-route", "1", "--comment", "свой"}).Code,
              0);
    ASSERT_EQ(sim.Cli({"new", "--target", "Танки на марше", "--random-route", "1"}).Code, 0);
    WriteConf(sim, true);
    const fs::path log = sim.Root() / "eventlog.lst";
    // Flights before the start are history: with keep, only what follows counts.
    WriteFileBytes(log, StartLine("zelk0001.mis") + kEndLine);
    const fs::path mis1 = sim.MissionDir() / "zelk0001.mis";
    const fs::path mis2 = sim.MissionDir() / "zelk0002.mis";
    const Json params1 = Show(sim, "zelk0001.mis");
    const Json params2 = Show(sim, "zelk0002.mis");

    TWatch watch(sim);
    watch.WaitReady();

    // The same mission flown twice: written anew after each flight, each time
    // a valid variant of the same mission.
    std::vector<std::chrono::milliseconds> delays;
    std::vector<std::string> variants = {ReadFileBytes(mis1)};
    for (int flight = 1; flight <= 2; ++flight) {
        Append(log, StartLine("zelk0001.mis"));
        std::this_thread::sleep_for(100ms);
        delays.push_back(watch.EndAndWaitForRewrite(mis1, log));
        ASSERT_TRUE(watch.Child().WaitForLines(static_cast<std::size_t>(flight), 20s)) << watch.Child().Err();
        EXPECT_EQ(Show(sim, "zelk0001.mis"), params1);
        variants.push_back(ReadFileBytes(mis1));
    }
    // Fresh random choices: the chance that two rewrites in a row repeat the
    // previous file is far below one in a million.
    EXPECT_TRUE(variants[1] != variants[0] || variants[2] != variants[1]);
    EXPECT_NE(watch.Child().Out().find("zelk0001.mis"), std::string::npos);

    // Cases that write nothing: a mission not of ours, an end line without a
    // start, a name the folder lacks. Then a real flight of mission 2: once
    // it is written, the lines before it have been examined too.
    const auto snapshot1 = ReadFileBytes(mis1);
    const auto prop1 = ReadFileBytes(sim.MissionDir() / "zelk0001_ru.properties");
    Append(log, "[12:10:00] Loading mission Missions/Single/ru/Training.mis is Playing\r\n");
    Append(log, kEndLine);
    Append(log, kEndLine);
    Append(log, StartLine("zelk0042.mis"));
    Append(log, kEndLine);
    std::this_thread::sleep_for(300ms);
    Append(log, StartLine("zelk0002.mis"));
    std::this_thread::sleep_for(100ms);
    delays.push_back(watch.EndAndWaitForRewrite(mis2, log));
    ASSERT_TRUE(watch.Child().WaitForLines(3, 20s));
    EXPECT_EQ(Show(sim, "zelk0002.mis"), params2);
    EXPECT_EQ(ReadFileBytes(mis1), snapshot1);
    EXPECT_EQ(ReadFileBytes(sim.MissionDir() / "zelk0001_ru.properties"), prop1);
    EXPECT_FALSE(fs::exists(sim.MissionDir() / "zelk0042.mis"));
    EXPECT_NE(watch.Child().Err().find("zelk0042.mis"), std::string::npos) << watch.Child().Err();

    EXPECT_EQ(watch.Stop(SIGTERM), 0);
    // One line for each mission written anew, nothing else.
    EXPECT_EQ(watch.Child().LineCount(), 3u) << watch.Child().Out();
    EXPECT_EQ(Snapshot(sim.MissionDir()).size(), 4u);
    for (auto d : delays) std::cout << "[ delay ] end line written -> mission file rewritten: " << d.count() << " ms\n";
}

TEST(CliWatch, WithoutKeepEachFlightStartsAFreshLog) {
    TSimFolder sim;
    ASSERT_EQ(sim.Cli({"new", "--difficulty", "1", "--fighters", "1", "--random-route", "1"}).Code, 0);
    WriteConf(sim, false);
    const fs::path log = sim.Root() / "eventlog.lst";
    const fs::path mis = sim.MissionDir() / "zelk0001.mis";
    const Json params = Show(sim, "zelk0001.mis");
    // Relative folders, as a pilot types them in the simulator's folder.
    TWatch watch(sim.Root().parent_path(), {"--root", "sim", "--data", "sim/ZELK", "--lang", "ru", "--json", "watch"},
                 sim.DataDir());
    watch.WaitReady();
    for (int flight = 1; flight <= 2; ++flight) {
        WriteFileBytes(log, StartLine("zelk0001.mis"));  // the simulator truncates its log
        std::this_thread::sleep_for(100ms);
        auto delay = watch.EndAndWaitForRewrite(mis, log);
        ASSERT_TRUE(watch.Child().WaitForLines(static_cast<std::size_t>(flight), 20s));
        std::cout << "[ delay ] fresh log, flight " << flight << ": " << delay.count() << " ms\n";
    }
    EXPECT_EQ(watch.Stop(SIGINT), 0);
    // --json: one mission object per line.
    std::istringstream lines(watch.Child().Out());
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        Json j = Json::parse(line);
        EXPECT_EQ(j["file"], "zelk0001.mis");
        EXPECT_EQ(j["params"], params["params"]);
        ++count;
    }
    EXPECT_EQ(count, 2);
}

// With the simulator stand-in of the build flying the mission.
TEST(CliWatch, FollowsTheSimulatorStandIn) {
#ifdef _WIN32
    const fs::path orvaksim = fs::path(ZELK_BIN_DIR) / "orvaksim.exe";
#else
    const fs::path orvaksim = fs::path(ZELK_BIN_DIR) / "orvaksim";
#endif
    if (!fs::exists(orvaksim)) GTEST_SKIP() << "the simulator stand-in is not built: " << orvaksim;
    TSimFolder sim;
    ASSERT_EQ(sim.Cli({"new", "--difficulty", "1", "--fighters", "4"}).Code, 0);
    ASSERT_EQ(sim.Cli({"new"}).Code, 0);
    WriteConf(sim, true);
    const fs::path mis = sim.MissionDir() / "zelk0001.mis";
    const Json params = Show(sim, "zelk0001.mis");
    const std::uint64_t before = Inode(mis);
    TWatch watch(sim);
    watch.WaitReady();
    TRunResult flown =
        RunCli({"--root", sim.Root().string(), "--mission", "zelk0001.mis", "--seconds", "0.3"}, {}, orvaksim);
    ASSERT_EQ(flown.Code, 0) << flown.Err;
    ASSERT_TRUE(watch.Child().WaitForLines(1, 20s)) << watch.Child().Err();
    EXPECT_NE(watch.Child().Out().find("zelk0001.mis"), std::string::npos);
    EXPECT_NE(Inode(mis), before);
    EXPECT_EQ(Show(sim, "zelk0001.mis"), params);
    EXPECT_EQ(watch.Stop(SIGTERM), 0);
    EXPECT_EQ(watch.Child().LineCount(), 1u);
}

// A programme of three steps flown with the stand-in: marks between the
// flights move it on, and the logbook tells which variant each flight flew.
TEST(CliWatch, FliesAProgrammeOfThreeStepsWithMarksBetweenFlights) {
#ifdef _WIN32
    const fs::path orvaksim = fs::path(ZELK_BIN_DIR) / "orvaksim.exe";
#else
    const fs::path orvaksim = fs::path(ZELK_BIN_DIR) / "orvaksim";
#endif
    if (!fs::exists(orvaksim)) GTEST_SKIP() << "the simulator stand-in is not built: " << orvaksim;
    TSimFolder sim;
    WriteConf(sim, true);
    const fs::path programme = sim.Root() / "programme.toml";
    std::string text = "name = \"Три шага\"\nadvance_after = 2\n";
    for (int hour : {6, 12, 18})
        text += "[[step]]\nmode = 0\ndifficulty = 0\nfighters = 0\ntime = " + std::to_string(hour) + "\n";
    WriteFileBytes(programme, text);
    TRunResult started = sim.Cli({"programme", "start", programme.string()});
    ASSERT_EQ(started.Code, 0) << started.Err;
    auto hour = [&] { return Show(sim, "zelk0001.mis")["params"]["time"].get<int>(); };
    EXPECT_EQ(hour(), 6);

    TWatch watch(sim);
    watch.WaitReady();
    std::size_t flown = 0;
    auto fly = [&] {
        TRunResult r =
            RunCli({"--root", sim.Root().string(), "--mission", "zelk0001.mis", "--seconds", "0.2"}, {}, orvaksim);
        ASSERT_EQ(r.Code, 0) << r.Err;
        ASSERT_TRUE(watch.Child().WaitForLines(++flown, 20s)) << watch.Child().Err();
    };
    auto mark = [&](const char* id, const char* result) {
        TRunResult r = sim.Cli({"logbook", "mark", id, "--result", result});
        EXPECT_EQ(r.Code, 0) << r.Err;
        return r.Out;
    };
    fly();
    mark("1", "yes");
    fly();
    EXPECT_EQ(hour(), 6);  // written anew for step 1: flight 2 was not yet marked
    EXPECT_NE(mark("2", "yes").find("zelk0001.mis"), std::string::npos);  // the mark moves it on and writes it
    EXPECT_EQ(hour(), 12);
    fly();
    mark("3", "no");
    fly();  // not marked: step 2 flown again
    EXPECT_EQ(hour(), 12);
    ASSERT_EQ(sim.Cli({"programme", "next"}).Code, 0);
    EXPECT_EQ(hour(), 18);
    fly();
    mark("5", "yes");
    EXPECT_EQ(watch.Stop(SIGTERM), 0);

    TRunResult status = sim.Cli({"programme", "status", "--json"});
    ASSERT_EQ(status.Code, 0) << status.Err;
    const Json s = Json::parse(status.Out);
    EXPECT_EQ(s["step"], 3);
    EXPECT_EQ(s["steps"], 3);
    EXPECT_EQ(s["programme"], "Три шага");

    TRunResult book = sim.Cli({"logbook", "--json"});
    ASSERT_EQ(book.Code, 0) << book.Err;
    const Json flights = Json::parse(book.Out)["flights"];
    ASSERT_EQ(flights.size(), 5u);
    const int hours[] = {18, 12, 12, 6, 6};  // newest first
    const Json results[] = {"yes", nullptr, "no", "yes", "yes"};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(flights[i]["id"], 5 - static_cast<int>(i));
        EXPECT_EQ(flights[i]["mission"], "zelk0001.mis");
        EXPECT_EQ(flights[i]["variant"]["params"]["time"], hours[i]) << i;
        EXPECT_EQ(flights[i]["result"], results[i]) << i;
        EXPECT_FALSE(flights[i]["ended"].is_null()) << i;
    }
    // Each flight's variant is the journal's line of the mission it flew.
    EXPECT_NE(flights[0]["variant"]["seed"], flights[4]["variant"]["seed"]);
}

// A logbook that cannot be written costs the flight's record, never its rewrite.
TEST(CliWatch, ALogbookThatCannotBeWrittenLeavesTheRewriteStanding) {
    TSimFolder sim;
    ASSERT_EQ(sim.Cli({"new"}).Code, 0);
    WriteConf(sim, true);
    fs::create_directories(sim.DataDir() / "zelk-logbook.txt");  // a folder where the file belongs
    const fs::path log = sim.Root() / "eventlog.lst";
    const fs::path mis = sim.MissionDir() / "zelk0001.mis";
    TWatch watch(sim);
    watch.WaitReady();
    Append(log, StartLine("zelk0001.mis"));
    std::this_thread::sleep_for(100ms);
    watch.EndAndWaitForRewrite(mis, log);
    ASSERT_TRUE(watch.Child().WaitForLines(1, 20s)) << watch.Child().Err();
    EXPECT_EQ(watch.Stop(SIGTERM), 0);
    EXPECT_NE(watch.Child().Err().find("лётную книжку"), std::string::npos) << watch.Child().Err();
    TRunResult book = sim.Cli({"logbook"});
    EXPECT_EQ(book.Code, 0) << book.Err;
}

// A programme whose file has gone costs its step, never the rewrite.
TEST(CliWatch, AProgrammeFileThatCannotBeReadLeavesTheRewriteStanding) {
    TSimFolder sim;
    WriteConf(sim, true);
    const fs::path programme = sim.Root() / "programme.toml";
    WriteFileBytes(programme, "[[step]]\ntime = 6\nmode = 0\ndifficulty = 0\n");
    ASSERT_EQ(sim.Cli({"programme", "start", programme.string()}).Code, 0);
    fs::remove(programme);
    const fs::path log = sim.Root() / "eventlog.lst";
    const fs::path mis = sim.MissionDir() / "zelk0001.mis";
    TWatch watch(sim);
    watch.WaitReady();
    Append(log, StartLine("zelk0001.mis"));
    std::this_thread::sleep_for(100ms);
    watch.EndAndWaitForRewrite(mis, log);
    ASSERT_TRUE(watch.Child().WaitForLines(1, 20s)) << watch.Child().Err();
    EXPECT_EQ(watch.Stop(SIGTERM), 0);
    EXPECT_NE(watch.Child().Err().find("programme.toml"), std::string::npos) << watch.Child().Err();
    EXPECT_EQ(Json::parse(sim.Cli({"logbook", "--json"}).Out)["flights"].size(), 1u);  // the flight is recorded
}

TEST(CliWatch, WithoutAConfiguredLogItWaitsAndEndsCleanly) {
    TSimFolder sim;
    ASSERT_EQ(sim.Cli({"new"}).Code, 0);
    const auto before = Snapshot(sim.MissionDir());
    TWatch watch(sim);
    auto deadline = Clock::now() + 20s;
    while (watch.Child().Err().find("eventlog") == std::string::npos && Clock::now() < deadline)
        watch.Child().Pump(Clock::now() + 50ms);
    EXPECT_NE(watch.Child().Err().find("conf.ini"), std::string::npos) << watch.Child().Err();
    WriteFileBytes(sim.Root() / "eventlog.lst", StartLine("zelk0001.mis") + kEndLine);
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(watch.Stop(SIGTERM), 0);
    EXPECT_TRUE(watch.Child().Out().empty());
    EXPECT_EQ(Snapshot(sim.MissionDir()), before);
}

// The stop file a script can use where signals cannot reach: one left from
// an earlier run is removed at the start and does not end this one; a new
// one ends it cleanly and is removed too.
TEST(CliWatch, EndsOnTheStopFileOnly) {
    TSimFolder sim;
    ASSERT_EQ(sim.Cli({"new"}).Code, 0);
    WriteConf(sim, true);
    const fs::path log = sim.Root() / "eventlog.lst";
    WriteFileBytes(log, "");
    const fs::path stop = sim.DataDir() / "watch.stop";
    WriteFileBytes(stop, "");
    TWatch watch(sim);
    watch.WaitReady();
    EXPECT_FALSE(fs::exists(stop));
    // Still at work after the old request.
    Append(log, StartLine("zelk0001.mis"));
    watch.EndAndWaitForRewrite(sim.MissionDir() / "zelk0001.mis", log);
    watch.RequestStop();
    EXPECT_EQ(watch.WaitForEnd(), 0);
    EXPECT_FALSE(fs::exists(stop));
}

}  // namespace
}  // namespace zelk::test
