// The examination of the event log, driven directly on a real file. Time
// stamps are set explicitly (in two-second steps, or within one step) so the
// tests neither sleep nor depend on the clock's timing.
#include "eventlog/logexaminer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <set>
#include <stdexcept>

#ifdef __linux__
#include <sys/resource.h>
#include <unistd.h>
#endif

#include "files/error.h"
#include "eventlog/logstamp.h"
#include "support/tempdir.h"
#include "support/unprivileged.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kStartA = "[12:00:01] Mission: Missions/Single/NN/ZELK/zelk0001.mis is Playing\r\n";
const std::string kStartB = "[12:10:01] Mission: Missions/Single/NN/ZELK/zelk0002.mis is Playing\r\n";
const std::string kEnd = "[12:05:00] Mission END\r\n";
const std::string kOther = "[12:00:00] some other event\r\n";

class LogExaminerTest : public ::testing::Test {
protected:
    test::TTempDir root;
    fs::path log = root / "eventlog.lst";
    std::string playing;
    std::vector<std::string> saved;
    std::set<std::string> listed{"zelk0001.mis", "zelk0002.mis"};
    TLogActions actions{[this](const std::string& name) { return listed.count(name) > 0; },
                        [this](const std::string& name) { saved.push_back(name); }};
    // An even second well in the past: tick n is 2n seconds after it, so
    // ticks are separate stamps and a time within a tick shares its stamp.
    fs::file_time_type base = std::chrono::floor<std::chrono::minutes>(fs::file_time_type::clock::now()) - 1h;

    void Stamp(int tick, std::chrono::milliseconds within = 0ms) {
        fs::last_write_time(log, base + std::chrono::seconds(2 * tick) + within);
    }
    void Append(const std::string& text, int tick, std::chrono::milliseconds within = 0ms) {
        {
            std::ofstream out(log, std::ios::binary | std::ios::app);
            out << text;
        }
        Stamp(tick, within);
    }
    void Rewrite(const std::string& text, int tick) {
        {
            std::ofstream out(log, std::ios::binary | std::ios::trunc);
            out << text;
        }
        Stamp(tick);
    }
};

TEST(LogLines, SplitsAtEveryLineEndAndKeepsZeroBytesInTheLine) {
    auto texts = [](std::string_view text) {
        std::vector<std::string> out;
        for (const TLogLine& line : SplitLogLines(text)) out.emplace_back(line.Text);
        return out;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(texts("a\rb\nc\r\nd"), (V{"a", "b", "c", "d"}));
    EXPECT_EQ(texts("a\r\n"), (V{"a"}));  // a line end at the very end adds no line
    EXPECT_EQ(texts("a\n\nb\r\r\nc"), (V{"a", "", "b", "", "c"}));
    EXPECT_EQ(texts("\n"), (V{""}));
    EXPECT_EQ(texts(""), V{});
    EXPECT_EQ(texts(std::string_view("a\r\nb\0c\r\nd", 9)), (V{"a", std::string("b\0c", 3), "d"}));
    EXPECT_EQ(texts(std::string_view("\0a\n", 3)), V{std::string("\0a", 2)});

    const auto lines = SplitLogLines("ab\r\ncd\ref");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].Next, 4u);
    EXPECT_EQ(lines[1].Next, 7u);
    EXPECT_EQ(lines[2].Next, 9u);
}

TEST(LogLines, MarkersAreCaseSensitiveAndTheNameFollowsTheFirstMarker) {
    EXPECT_TRUE(IsStartLine("x /zelk0001.mis is Playing"));
    EXPECT_FALSE(IsStartLine("x /ZELK/ZELK0001.MIS is Playing"));
    EXPECT_FALSE(IsStartLine("x /zelk0001.mis is playing"));
    EXPECT_FALSE(IsStartLine("x /zelk0001.mis"));
    EXPECT_TRUE(IsEndLine("[1] Mission END"));
    EXPECT_FALSE(IsEndLine("[1] Mission End"));

    EXPECT_EQ(MissionNameFromLine("Missions/Single/NN/ZELK/zelk0001.mis is Playing"), "zelk0001.mis");
    EXPECT_EQ(MissionNameFromLine("a/zelk12/zelk0002.mis is Playing"), "zelk12/zelk0");
    EXPECT_EQ(MissionNameFromLine("abc/zelk01"), "zelk01");
    EXPECT_EQ(MissionNameFromLine("no marker"), "");
}

TEST(LogStamp, PacksLocalTimeInTwoSecondSteps) {
    std::tm t{};
    t.tm_year = 2007 - 1900;
    t.tm_mon = 1;  // February
    t.tm_mday = 21;
    t.tm_hour = 13;
    t.tm_min = 45;
    t.tm_sec = 31;
    const std::uint32_t expected = ((27u << 9 | 2u << 5 | 21u) << 16) | (13u << 11 | 45u << 5 | 15u);
    EXPECT_EQ(static_cast<std::uint32_t>(PackDosDateTime(t)), expected);
    t.tm_sec = 30;
    EXPECT_EQ(static_cast<std::uint32_t>(PackDosDateTime(t)), expected);
    t.tm_year = 1979 - 1900;
    EXPECT_EQ(PackDosDateTime(t), -1);
    t.tm_year = 2108 - 1900;
    EXPECT_EQ(PackDosDateTime(t), -1);
}

TEST_F(LogExaminerTest, StampIsMinusOneForMissingFileAndFolder) {
    EXPECT_EQ(FileTimeStamp(log), -1);
    EXPECT_EQ(FileTimeStamp(root.Path()), -1);
    Append("x", 0);
    const std::int32_t first = FileTimeStamp(log);
    EXPECT_NE(first, -1);
    Stamp(0, 1900ms);
    EXPECT_EQ(FileTimeStamp(log), first);
    Stamp(1);
    EXPECT_NE(FileTimeStamp(log), first);
}

TEST_F(LogExaminerTest, CreationTakesTheSizeOnlyWithKeep) {
    Append(kStartA + kEnd, 0);
    TLogExaminer keep(log, true, playing);
    EXPECT_EQ(keep.LogPos(), static_cast<std::int64_t>((kStartA + kEnd).size()));
    EXPECT_EQ(keep.LogAge(), FileTimeStamp(log));
    EXPECT_FALSE(keep.Playing());
    EXPECT_EQ(keep.LineNo(), 1);

    TLogExaminer fresh(log, false, playing);
    EXPECT_EQ(fresh.LogPos(), 0);
    // Without keep the whole log is read at the first change, also what was
    // there before the examiner was made.
    Append(kOther, 1);
    EXPECT_EQ(fresh.CheckLog(actions).Saved, 1);
    EXPECT_EQ(saved, std::vector<std::string>{"zelk0001.mis"});

    // With keep, only what came after creation counts.
    saved.clear();
    Append(kOther, 2);
    EXPECT_EQ(keep.CheckLog(actions).Saved, 0);
    EXPECT_TRUE(saved.empty());
}

TEST_F(LogExaminerTest, LogMissingAtCreationIsReadFromItsStartOnceItAppears) {
    TLogExaminer ex(log, true, playing);
    EXPECT_EQ(ex.LogAge(), -1);
    EXPECT_EQ(ex.LogPos(), 0);
    EXPECT_FALSE(ex.CheckLog(actions).Examined);
    Append(kStartA, 0);
    EXPECT_TRUE(ex.CheckLog(actions).Examined);
    EXPECT_TRUE(ex.Playing());
    EXPECT_EQ(playing, "zelk0001.mis");
}

TEST_F(LogExaminerTest, LogPathAndAnEmptyNameThatNeverActs) {
    EXPECT_EQ(EventLogPath("/sim", "eventlog.lst"), fs::path("/sim/eventlog.lst"));
#ifndef _WIN32
    EXPECT_EQ(EventLogPath("/sim/", "logs\\event.lst"), fs::path("/sim/logs/event.lst"));
#endif
    const fs::path none = EventLogPath(root.Path(), "");
    EXPECT_EQ(FileTimeStamp(none), -1);
    TLogExaminer ex(none, true, playing);
    Append(kStartA + kEnd, 0);
    EXPECT_FALSE(ex.CheckLog(actions).Examined);
    EXPECT_TRUE(saved.empty());
}

TEST_F(LogExaminerTest, SecondWriteWithinTheSameStampIsActedOnAtOnce) {
    TLogExaminer ex(log, true, playing);
    Append(kOther + kStartA, 0);
    EXPECT_EQ(ex.CheckLog(actions).Started, 1);
    const std::int32_t age = ex.LogAge();
    // The end line lands in the same two-second step: only the size moved.
    Append(kEnd, 0, 900ms);
    ASSERT_EQ(FileTimeStamp(log), age);
    const TCheckOutcome out = ex.CheckLog(actions);
    EXPECT_TRUE(out.Examined);
    EXPECT_EQ(out.Saved, 1);
    EXPECT_EQ(saved, std::vector<std::string>{"zelk0001.mis"});
    EXPECT_FALSE(ex.Playing());
}

TEST_F(LogExaminerTest, UnchangedStampAndSizeStopAtOnce) {
    TLogExaminer ex(log, true, playing);
    Append(kStartA, 0);
    EXPECT_TRUE(ex.CheckLog(actions).Examined);
    // A write to another file of the root folder wakes the monitor; the log
    // itself is as it was.
    std::ofstream(root / "other.txt") << "written";
    const std::int64_t pos = ex.LogPos();
    const TCheckOutcome out = ex.CheckLog(actions);
    EXPECT_FALSE(out.Examined);
    EXPECT_EQ(ex.LogPos(), pos);
    EXPECT_TRUE(ex.Playing());
}

TEST_F(LogExaminerTest, EndLineAloneAfterAStartLineAtAnyLineNumber) {
    for (int startLine : {1, 3}) {
        SCOPED_TRACE(startLine);
        fs::remove(log);
        saved.clear();
        TLogExaminer ex(log, true, playing);
        std::string pass;
        for (int i = 1; i < startLine; ++i) pass += kOther;
        Append(pass + kStartA, 0);
        EXPECT_EQ(ex.CheckLog(actions).Started, 1);
        EXPECT_EQ(ex.LineNo(), 1);
        // Later passes read everything written since the start line.
        Append(kOther, 1);
        EXPECT_EQ(ex.CheckLog(actions).Lines, 1);
        Append(kEnd, 2);
        EXPECT_EQ(ex.CheckLog(actions).Saved, 1);
        EXPECT_EQ(saved, std::vector<std::string>{"zelk0001.mis"});
        EXPECT_FALSE(ex.Playing());
    }
}

TEST_F(LogExaminerTest, EndLineWrittenInPiecesIsNotMissed) {
    TLogExaminer ex(log, true, playing);
    // The simulator's buffer is flushed in the middle of the end line.
    Append(kStartA + "[12:05:00] Missi", 0);
    EXPECT_EQ(ex.CheckLog(actions).Started, 1);
    Append("on END\r\n", 1);
    EXPECT_EQ(ex.CheckLog(actions).Saved, 1);
    EXPECT_EQ(saved, std::vector<std::string>{"zelk0001.mis"});
}

TEST_F(LogExaminerTest, LineWithAllThreeMarkersIsOnlyAStartLine) {
    TLogExaminer ex(log, true, playing);
    Append("/zelk0002.mis is Playing Mission END\r\n", 0);
    const TCheckOutcome out = ex.CheckLog(actions);
    EXPECT_EQ(out.Started, 1);
    EXPECT_EQ(out.Saved, 0);
    EXPECT_TRUE(ex.Playing());
    EXPECT_EQ(playing, "zelk0002.mis");
    EXPECT_TRUE(saved.empty());
}

TEST_F(LogExaminerTest, EndLinesWithoutAStartLineAreIgnored) {
    TLogExaminer ex(log, true, playing);
    Append(kEnd, 0);
    EXPECT_EQ(ex.CheckLog(actions).Saved, 0);
    EXPECT_EQ(ex.LogPos(), 0);  // an ignored end line moves nothing
    Append(kStartA + kEnd + kEnd, 1);
    const TCheckOutcome out = ex.CheckLog(actions);
    EXPECT_EQ(out.Saved, 1);
    EXPECT_EQ(out.Ignored, 0);
    EXPECT_EQ(saved, std::vector<std::string>{"zelk0001.mis"});
    // A mission that is not ours (no "/zelk") has no start line either.
    Append("Mission: Missions/Single/NN/Other/quick.mis is Playing\r\n" + kEnd, 2);
    EXPECT_EQ(ex.CheckLog(actions).Saved, 0);
    EXPECT_EQ(saved.size(), 1u);
}

TEST_F(LogExaminerTest, EndAndNewStartInOnePass) {
    TLogExaminer ex(log, true, playing);
    Append(kStartA, 0);
    ex.CheckLog(actions);
    Append(kEnd + kStartB, 1);
    std::string playingWhenSaved;
    actions.SaveMission = [&](const std::string& name) {
        saved.push_back(name);
        playingWhenSaved = playing;
    };
    const TCheckOutcome out = ex.CheckLog(actions);
    EXPECT_EQ(out.Saved, 1);
    EXPECT_EQ(saved, std::vector<std::string>{"zelk0001.mis"});
    EXPECT_EQ(playingWhenSaved, "zelk0001.mis");
    EXPECT_TRUE(ex.Playing());
    EXPECT_EQ(playing, "zelk0002.mis");
    Append(kEnd, 2);
    ex.CheckLog(actions);
    EXPECT_EQ(saved, (std::vector<std::string>{"zelk0001.mis", "zelk0002.mis"}));
}

TEST_F(LogExaminerTest, WithKeepTheEndMovesTheReadPositionToTheSizeNow) {
    TLogExaminer ex(log, true, playing);
    Append(kOther + kStartA, 0);
    ex.CheckLog(actions);
    EXPECT_EQ(ex.LogPos(), static_cast<std::int64_t>((kOther + kStartA).size()));
    // The first save of the pass writes more to the log, as a simulator going
    // on would: the second end line's size now includes what was not read.
    const std::string pass = kEnd + kStartB + kEnd;
    Append(pass, 1);
    actions.SaveMission = [&](const std::string& name) {
        if (saved.empty()) std::ofstream(log, std::ios::binary | std::ios::app) << kOther;
        saved.push_back(name);
    };
    EXPECT_EQ(ex.CheckLog(actions).Lines, 3);
    EXPECT_EQ(saved, (std::vector<std::string>{"zelk0001.mis", "zelk0002.mis"}));
    EXPECT_EQ(ex.LogPos(), static_cast<std::int64_t>(fs::file_size(log)));
    EXPECT_EQ(ex.LineNo(), 1);
}

TEST_F(LogExaminerTest, WithoutKeepEachFlightIsReadFromTheFirstByte) {
    TLogExaminer ex(log, false, playing);
    Rewrite(kOther + kStartA, 0);
    ex.CheckLog(actions);
    Append(kEnd, 1);
    EXPECT_EQ(ex.CheckLog(actions).Saved, 1);
    EXPECT_EQ(ex.LogPos(), 0);
    // The simulator starts a fresh log for the next flight.
    Rewrite(kStartB, 2);
    const TCheckOutcome out = ex.CheckLog(actions);
    EXPECT_EQ(out.Lines, 1);
    EXPECT_EQ(playing, "zelk0002.mis");
    Append(kEnd, 3);
    ex.CheckLog(actions);
    EXPECT_EQ(saved, (std::vector<std::string>{"zelk0001.mis", "zelk0002.mis"}));
}

TEST_F(LogExaminerTest, BinaryNoiseInAKeptLogNeverHidesLaterEndLines) {
    TLogExaminer ex(log, true, playing);
    Append(kStartA, 0);
    ex.CheckLog(actions);
    Append(std::string("\0\x01\xff\x1a noise\0", 12) + "\r\n" + std::string(3, '\0') + kEnd, 1);
    EXPECT_EQ(ex.CheckLog(actions).Saved, 1);
    // The noise stays in the log; the next flight is still seen.
    Append(std::string(1, '\0') + kStartB + kOther + kEnd, 2);
    EXPECT_EQ(ex.CheckLog(actions).Saved, 1);
    EXPECT_EQ(saved, (std::vector<std::string>{"zelk0001.mis", "zelk0002.mis"}));
}

TEST_F(LogExaminerTest, LogShorterThanTheReadPositionIsReadFromItsStart) {
    // Emptied while waiting for a start line: the new flight is seen.
    Append(kOther + kOther + kOther, 0);
    TLogExaminer ex(log, true, playing);
    Rewrite(kStartA, 1);
    ASSERT_LT(fs::file_size(log), static_cast<std::uintmax_t>(ex.LogPos()));
    const TCheckOutcome out = ex.CheckLog(actions);
    EXPECT_TRUE(out.Examined);
    EXPECT_EQ(out.Lines, 1);
    EXPECT_EQ(ex.LogAge(), FileTimeStamp(log));
    EXPECT_TRUE(ex.Playing());
    EXPECT_EQ(playing, "zelk0001.mis");

    // Replaced by a shorter log during the flight: its end line still counts.
    Append(kOther + kOther, 2);
    ex.CheckLog(actions);
    Rewrite(kEnd, 3);
    EXPECT_EQ(ex.CheckLog(actions).Saved, 1);
    EXPECT_EQ(saved, std::vector<std::string>{"zelk0001.mis"});

    // Replaced by a log already longer than the read position: its start
    // line, across that position, is not missed.
    Append(kStartA, 4);
    ex.CheckLog(actions);
    Rewrite(std::string(40, '-') + "\r\n" + kStartB, 5);
    ASSERT_GT(fs::file_size(log), static_cast<std::uintmax_t>(ex.LogPos()));
    ex.CheckLog(actions);
    EXPECT_EQ(playing, "zelk0002.mis");
}

TEST_F(LogExaminerTest, LinesAcrossTheReadPiecesOfALargeLog) {
    constexpr std::size_t kMiB = 1 << 20;
    // A CR LF split by the first piece boundary, a start line across the
    // second, and a line longer than a piece before the end line.
    std::string text;
    while (text.size() + kOther.size() < kMiB - 40) text += kOther;
    text += std::string(kMiB - 1 - text.size(), 'a') + "\r\n";
    while (text.size() + kOther.size() < 2 * kMiB - 30) text += kOther;
    text += std::string(2 * kMiB - 30 - text.size(), 'b') + "\n";
    const std::size_t lines = SplitLogLines(text).size();
    text += kStartA;
    TLogExaminer ex(log, false, playing);
    Rewrite(text, 0);
    TCheckOutcome out = ex.CheckLog(actions);
    EXPECT_EQ(out.Lines, static_cast<std::int64_t>(lines) + 1);
    EXPECT_EQ(out.Started, 1);
    EXPECT_EQ(ex.LogPos(), static_cast<std::int64_t>(text.size()));
    EXPECT_EQ(playing, "zelk0001.mis");

    Append(std::string(3 * kMiB, 'c') + "\r\n" + kEnd, 1);
    out = ex.CheckLog(actions);
    EXPECT_EQ(out.Saved, 1);
    EXPECT_EQ(saved, std::vector<std::string>{"zelk0001.mis"});
}

#if defined(__linux__) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
TEST_F(LogExaminerTest, HugeLogIsReadInBoundedMemory) {
    // 160 MiB of log read with only 64 MiB of address space to spare.
    {
        std::ofstream out(log, std::ios::binary);
        const std::string block = [] {
            std::string b;
            while (b.size() < (1 << 20)) b += kOther;
            return b;
        }();
        for (int i = 0; i < 160; ++i) out << block;
        out << kStartA;
    }
    Stamp(0);
    TLogExaminer ex(log, false, playing);
    Append(kEnd, 1);
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_AS, &old), 0);
    rlimit tight = old;
    tight.rlim_cur = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (64u << 20);
    ASSERT_EQ(setrlimit(RLIMIT_AS, &tight), 0);
    TCheckOutcome out;
    bool failed = false;
    try {
        out = ex.CheckLog(actions);
    } catch (const std::exception&) {
        failed = true;
    }
    setrlimit(RLIMIT_AS, &old);
    fs::remove(log);
    EXPECT_FALSE(failed);
    EXPECT_EQ(out.Saved, 1);
    EXPECT_EQ(saved, std::vector<std::string>{"zelk0001.mis"});
}
#endif

TEST_F(LogExaminerTest, UnknownMissionNameWritesNothing) {
    TLogExaminer ex(log, true, playing);
    Append("Mission: /zelk../../evil is Playing\r\n" + kEnd, 0);
    const TCheckOutcome out = ex.CheckLog(actions);
    EXPECT_EQ(out.Ignored, 1);
    EXPECT_EQ(out.Saved, 0);
    EXPECT_TRUE(saved.empty());
    EXPECT_FALSE(ex.Playing());
    EXPECT_EQ(playing, "zelk../../ev");

    // Without a way to ask the list nothing is written at all.
    actions.IsListedMission = nullptr;
    Append(kStartA + kEnd, 1);
    EXPECT_EQ(ex.CheckLog(actions).Ignored, 1);
    EXPECT_TRUE(saved.empty());
}

TEST_F(LogExaminerTest, PlayingMissionOutlivesTheExaminer) {
    {
        TLogExaminer ex(log, true, playing);
        Append(kStartB, 0);
        ex.CheckLog(actions);
    }
    EXPECT_EQ(playing, "zelk0002.mis");
    // A fresh examiner starts waiting for a start line again.
    TLogExaminer next(log, true, playing);
    Append(kEnd, 1);
    EXPECT_EQ(next.CheckLog(actions).Saved, 0);
    EXPECT_EQ(playing, "zelk0002.mis");
}

TEST_F(LogExaminerTest, SaveErrorsPassOutWithTheEndAlreadyTaken) {
    TLogExaminer ex(log, true, playing);
    Append(kStartA, 0);
    ex.CheckLog(actions);
    actions.SaveMission = [&](const std::string&) { throw TFileError(root / "x.mis", TFileError::kNoPosition, "x"); };
    Append(kEnd, 1);
    EXPECT_THROW(ex.CheckLog(actions), TFileError);
    EXPECT_FALSE(ex.Playing());
}

TEST_F(LogExaminerTest, UnreadableLogIsAnError) {
    Append(kStartA, 0);
    test::AsUnprivilegedUser(root.Path(), [&] {
        fs::permissions(log, fs::perms::none);
        // Where permissions do not bind (Windows), there is nothing to check.
        if (std::ifstream(log).is_open()) GTEST_SKIP() << "this user can read any file";
        EXPECT_THROW(TLogExaminer(log, true, playing), TFileError);
        fs::permissions(log, fs::perms::owner_all);
        TLogExaminer ex(log, false, playing);
        fs::permissions(log, fs::perms::none);
        Append(kEnd, 1);
        EXPECT_THROW(ex.CheckLog(actions), TFileError);
    });
}

}  // namespace
}  // namespace zelk
