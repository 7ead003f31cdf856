#pragma once
// The logbook: every flight of one of our missions that the program saw in
// the simulator's event log, with the variant flown and the pilot's own word
// on how it went. It lives beside the journal of variants in the same safe
// line form; records are only ever appended (a start, an end, a mark), so a
// crash costs at most the line being written.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "library/journal.h"

namespace zelk {

inline constexpr const char* kLogbookFileName = "zelk-logbook.txt";

// The logbook kept beside `journalFile`; empty when there is no journal.
inline std::filesystem::path LogbookFileBeside(const std::filesystem::path& journalFile) {
    return journalFile.empty() ? std::filesystem::path() : journalFile.parent_path() / kLogbookFileName;
}

enum class TFlightResult { None, Yes, Partly, No, Unknown };

// "yes", "partly", "no", "unknown" ("" for None), and back.
std::string ResultKey(TFlightResult result);
std::optional<TFlightResult> ResultFromKey(std::string_view key);

struct TFlight {
    int Id = 0;
    std::string Mission;              // the mission's file name, Windows-1251
    std::optional<TVariant> Variant;  // the journal line in force at the start, when known
    std::int64_t Started = -1;        // seconds since 1970, UTC; -1: not known
    std::int64_t Ended = -1;          // -1: not known or no end seen
    std::int64_t Seconds = -1;        // time flown; -1: not known
    bool EndSeen = false;
    // No end came before the next flight started: it will never come.
    bool Unfinished = false;
    bool Imported = false;
    std::string Key;  // which start line of which log it came from
    TFlightResult Result = TFlightResult::None;
    std::string Note;  // Windows-1251
};

// One start line seen in an event log: its text and where it starts.
// Flights are told apart by it, so a log imported twice is recorded once.
std::string FlightKey(std::string_view startLine, std::int64_t offset);

// Seconds between two "[HH:MM:SS]" clocks at the start of event-log lines
// (across midnight when the second is smaller); -1 when either has none.
std::int64_t ClockSpan(std::string_view startLine, std::string_view endLine);

class TLogbook {
public:
    explicit TLogbook(std::filesystem::path file) : file_(std::move(file)) {}
    const std::filesystem::path& File() const { return file_; }

    // Every flight, oldest first; whole lines only. A missing or unreadable
    // logbook gives what can be read, never an error.
    std::vector<TFlight> Flights() const;

    // Appending records; each throws TFileError when the line cannot be written.
    // RecordStart returns the new flight's id.
    int RecordStart(const std::string& mission, std::int64_t started, const std::string& key,
                    const std::optional<TVariant>& variant, bool imported = false) const;
    void RecordEnd(int id, std::int64_t ended, std::int64_t seconds) const;
    void Mark(int id, TFlightResult result, const std::string& note, std::int64_t when) const;

private:
    std::filesystem::path file_;
};

// The journal line in force for mission `fileName` at `when`: the newest
// variant saved no later than it. nullopt without one.
std::optional<TVariant> VariantInForce(const TJournal* journal, const std::string& fileName, std::int64_t when);

// What `logbook import` did.
struct TImportOutcome {
    int Added = 0;      // flights not recorded before
    int Completed = 0;  // flights recorded without end whose end is now known
    int Known = 0;      // flights already recorded
};

// Reads a kept event log and records the flights of our missions it holds,
// each once however often the same log is imported. A start line followed by
// another start line is a flight without end. Lines carry only a clock, so
// the flights' dates are not known; their time flown is, from the clocks.
// Throws TFileError when the log cannot be read or the logbook written.
TImportOutcome ImportEventLog(const TLogbook& logbook, const std::filesystem::path& log);

// Follows the flights of one watch of the event log: what the monitor sees,
// recorded as it sees it.
class TFlightRecorder {
public:
    TFlightRecorder(TLogbook logbook, const TJournal* journal) : logbook_(std::move(logbook)), journal_(journal) {}
    // A start line of mission `fileName` at `offset` in the log; returns the
    // flight's id. Throws TFileError.
    int Started(const std::string& fileName, std::string_view line, std::int64_t offset, std::int64_t now);
    // The end line of the flight in progress; returns its id, 0 when none was
    // recorded. Throws TFileError.
    int Ended(std::int64_t now);
    const TLogbook& Logbook() const { return logbook_; }

private:
    TLogbook logbook_;
    const TJournal* journal_;
    // A log read again from its start shows its start line again: the
    // same flight, recorded once.
    std::string lastKey_;
    int current_ = 0;
    std::int64_t started_ = 0;
};

// ---- what the pilot learns from it ----

enum class TTotalsBy { Target, Mode, Difficulty, Aircraft, TimeOfDay, Weather };

struct TTotals {
    int Flights = 0;
    std::int64_t Seconds = 0;  // time flown, of flights where it is known
    int Marked = 0;            // yes, partly, no or unknown
    int Yes = 0, Partly = 0, No = 0;
    // Share of targets hit: "yes" among the flights marked yes, partly or
    // no; -1 when there is none.
    double HitShare() const;
};

struct TTotalsRow {
    TTotalsBy By = TTotalsBy::Target;
    std::string Label;  // UTF-8, in the pilot's language
    TTotals Totals;
};

// Totals of all flights, and by each of the variant's conditions (flights
// whose variant is not known count only in the whole).
TTotals TotalOf(const std::vector<TFlight>& flights);
std::vector<TTotalsRow> TotalsBy(const std::vector<TFlight>& flights);
// "цель", "тип задания", ... for a column heading, UTF-8.
std::string TotalsByName(TTotalsBy by);

// The last `weeks` weeks up to `now`, oldest first: flights started in each
// seven days and their totals (flights of unknown date are left out).
std::vector<TTotals> WeeklyTrend(const std::vector<TFlight>& flights, std::int64_t now, int weeks);

// Other flights of exactly the same variant (seed and conditions), oldest first.
std::vector<const TFlight*> AttemptsOfSameVariant(const std::vector<TFlight>& flights, const TFlight& flight);

// The mission number in "zelkNNNN.mis"; 0 when the name has none.
int MissionNumberOf(const std::string& fileName);

}  // namespace zelk
