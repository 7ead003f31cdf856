// The logbook: flights recorded once from whatever the event log holds, the
// pilot's marks, and the rule that moves a programme on.
#include "logbook/logbook.h"

#include <gtest/gtest.h>

#include "eventlog/logexaminer.h"
#include "files/paths.h"
#include "programme/progstate.h"
#include "support/tempdir.h"

namespace zelk::test {
namespace {

std::string Start(const char* clock, const char* mission) {
    return std::string("[") + clock + "] Mission: Missions/Single/NN/ZELK/" + mission + " is Playing\r\n";
}
std::string End(const char* clock) { return std::string("[") + clock + "] Mission END\r\n"; }

TEST(Logbook, ImportingALogTwiceRecordsEachFlightOnceAndATornEndCompletesLater) {
    TTempDir dir;
    const TLogbook book(dir / kLogbookFileName);
    const auto log = dir / "eventlog.lst";
    // A finished flight, one whose end never came, and one whose end line is
    // torn (the simulator was still writing it).
    WriteFileBytes(log, Start("10:00:00", "zelk0001.mis") + End("10:20:30") + Start("11:00:00", "zelk0002.mis") +
                            "[11:01:00] Something else\r\n" + Start("23:50:00", "zelk0001.mis") +
                            "[00:10:00] Mission EN");
    const TImportOutcome first = ImportEventLog(book, log);
    EXPECT_EQ(first.Added, 3);
    EXPECT_EQ(ImportEventLog(book, log).Added, 0);

    auto flights = book.Flights();
    ASSERT_EQ(flights.size(), 3u);
    EXPECT_EQ(flights[0].Mission, "zelk0001.mis");
    EXPECT_EQ(flights[0].Seconds, 20 * 60 + 30);
    EXPECT_TRUE(flights[1].Unfinished);
    EXPECT_FALSE(flights[2].EndSeen);
    EXPECT_FALSE(flights[2].Unfinished);  // the newest: its end may yet come
    EXPECT_EQ(flights[0].Started, -1);    // the log's clocks carry no date

    // The rest of the end line arrives: the import completes the flight,
    // across midnight, and adds none.
    WriteFileBytes(log, ReadFileBytes(log) + "D\r\n");
    const TImportOutcome again = ImportEventLog(book, log);
    EXPECT_EQ(again.Added, 0);
    EXPECT_EQ(again.Completed, 1);
    flights = book.Flights();
    ASSERT_EQ(flights.size(), 3u);
    EXPECT_TRUE(flights[2].EndSeen);
    EXPECT_EQ(flights[2].Seconds, 20 * 60);
}

TEST(Logbook, LiveFlightsTakeTheVariantInForceAndMarksAndDamageAreHandled) {
    TTempDir dir;
    const TJournal journal(dir / kJournalFileName);
    TVariant v;
    v.Number = 1;
    v.Seed = 11;
    v.Time = 1000;
    journal.Append(v);
    v.Seed = 22;
    v.Time = 3000;  // saved after the first flight began
    journal.Append(v);

    TFlightRecorder recorder(TLogbook(dir / kLogbookFileName), &journal);
    const std::string line = Start("10:00:00", "zelk0001.mis");
    const int first = recorder.Started("zelk0001.mis", line, 0, 2000);
    // The same log read again from its start shows the same start line.
    EXPECT_EQ(recorder.Started("zelk0001.mis", line, 0, 2100), first);
    EXPECT_EQ(recorder.Ended(2600), first);
    EXPECT_EQ(recorder.Ended(2700), 0);  // an end with no flight in progress
    recorder.Started("zelk0001.mis", Start("11:00:00", "zelk0001.mis"), 0, 4000);
    recorder.Started("zelk0001.mis", Start("12:00:00", "zelk0001.mis"), 0, 5000);

    const TLogbook& book = recorder.Logbook();
    book.Mark(first, TFlightResult::No, "\xcf\xf0\xee\xec\xe0\xf5\t", 2700);
    book.Mark(first, TFlightResult::Yes, "", 2800);  // the newest mark holds
    // A torn line and garbage cost nothing else.
    WriteFileBytes(book.File(), ReadFileBytes(book.File()) + "M1\t0000\tgarbage\r\nE1\t12");
    book.Mark(2, TFlightResult::Partly, "note", 4500);

    const auto flights = book.Flights();
    ASSERT_EQ(flights.size(), 3u);
    EXPECT_EQ(flights[0].Variant->Seed, 11u);
    EXPECT_EQ(flights[0].Seconds, 600);
    EXPECT_EQ(flights[0].Result, TFlightResult::Yes);
    EXPECT_EQ(flights[1].Variant->Seed, 22u);
    EXPECT_TRUE(flights[1].Unfinished);
    EXPECT_EQ(flights[1].Result, TFlightResult::Partly);
    EXPECT_EQ(flights[1].Note, "note");
    const TTotals all = TotalOf(flights);
    EXPECT_EQ(all.Marked, 2);
    EXPECT_DOUBLE_EQ(all.HitShare(), 0.5);
    EXPECT_EQ(AttemptsOfSameVariant(flights, flights[1]).size(), 1u);  // flight 3, same seed and conditions
}

TEST(Logbook, FlightsFollowedAcrossAReplacedLogAndWithoutTheirEnd) {
    TTempDir dir;
    const auto log = dir / "eventlog.lst";
    TFlightRecorder recorder(TLogbook(dir / kLogbookFileName), nullptr);
    std::string playing;
    TLogExaminer examiner(log, true, playing);
    int saves = 0;
    TLogActions actions;
    actions.IsListedMission = [](const std::string&) { return true; };
    actions.SaveMission = [&](const std::string&) { ++saves; };
    actions.FlightStarted = [&](const std::string& name, std::string_view line, std::int64_t offset) {
        recorder.Started(name, line, offset, 100);
    };
    actions.FlightEnded = [&](const std::string&) { recorder.Ended(400); };

    WriteFileBytes(log, Start("10:00:00", "zelk0001.mis"));
    examiner.CheckLog(actions);
    // The simulator starts a fresh log mid-flight: its end line ends the flight.
    WriteFileBytes(log, End("10:05:00"));
    examiner.CheckLog(actions);
    // A start whose end never comes, then another flight.
    WriteFileBytes(log, ReadFileBytes(log) + Start("11:00:00", "zelk0002.mis"));
    examiner.CheckLog(actions);
    WriteFileBytes(log, ReadFileBytes(log) + Start("12:00:00", "zelk0001.mis") + End("12:10:00"));
    examiner.CheckLog(actions);

    const auto flights = recorder.Logbook().Flights();
    ASSERT_EQ(flights.size(), 3u);
    EXPECT_TRUE(flights[0].EndSeen);
    EXPECT_EQ(flights[0].Seconds, 300);
    EXPECT_TRUE(flights[1].Unfinished);
    EXPECT_EQ(flights[1].Mission, "zelk0002.mis");
    EXPECT_TRUE(flights[2].EndSeen);
    EXPECT_EQ(saves, 2);
}

TEST(Programme, AdvancesOnlyAfterEnoughYesInARowAndNeverOnAnUnmarkedFlight) {
    using R = TFlightResult;
    struct TCase {
        std::vector<R> Marks;  // the step's finished flights, oldest first
        bool Held;
        bool Advance;
    };
    const TCase cases[] = {
        {{}, false, false},
        {{R::Yes}, false, false},
        {{R::Yes, R::Yes}, false, true},
        {{R::Yes, R::Yes}, true, false},
        {{R::Yes, R::Yes, R::None}, false, false},  // the newest flight awaits its mark
        {{R::Yes, R::No, R::Yes}, false, false},
        {{R::Partly, R::Yes, R::Yes}, false, true},
        {{R::Yes, R::Unknown}, false, false},
    };
    for (const TCase& c : cases) {
        TProgrammeState state;
        state.On = true;
        state.Steps = 3;
        state.Mission = "zelk0001.mis";
        state.Held = c.Held;
        std::vector<TFlight> flights;
        // A flight of another mission and one before the step began never count.
        flights.push_back({.Id = 1, .Mission = "zelk0001.mis", .EndSeen = true, .Result = R::Yes});
        state.Since = 1;
        for (R mark : c.Marks) {
            const int id = static_cast<int>(flights.size()) + 1;
            flights.push_back({.Id = id, .Mission = "zelk0002.mis", .EndSeen = true, .Result = R::Yes});
            flights.push_back({.Id = id + 1, .Mission = "zelk0001.mis", .EndSeen = true, .Result = mark});
        }
        const int newest = flights.back().Id;
        EXPECT_EQ(AdvanceIfDue(state, flights), c.Advance) << testing::PrintToString(c.Marks.size()) << c.Held;
        EXPECT_EQ(state.Step, c.Advance ? 2 : 1);
        if (c.Advance) {
            EXPECT_EQ(state.Since, newest);
        }
    }
}

TEST(Programme, TheNewestWholeStateLineHolds) {
    TTempDir dir;
    const auto file = dir / kProgrammeStateFileName;
    EXPECT_FALSE(ReadProgrammeState(file).On);
    TProgrammeState s;
    s.On = true;
    s.File = dir / PathFromUtf8("программа.toml");
    s.Name = "name\twith tab";
    s.Steps = 10;
    s.Step = 4;
    s.Mission = "zelk0003.mis";
    WriteProgrammeState(file, s);
    const std::string whole = ReadFileBytes(file);
    // A later line torn in the middle of its write.
    WriteFileBytes(file, whole + whole.substr(0, whole.size() / 2));
    EXPECT_EQ(ReadProgrammeState(file), s);
    s.Held = true;
    WriteProgrammeState(file, s);
    EXPECT_EQ(ReadProgrammeState(file), s);
}

}  // namespace
}  // namespace zelk::test
