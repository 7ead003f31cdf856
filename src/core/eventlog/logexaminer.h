#pragma once
// The examination of the simulator's event log: recognising the start and the
// end of one of our missions, and having a finished mission written anew.
// Plain logic on a real file, run on the user-interface thread; the thread
// that waits for changes lives elsewhere (src/monitor).
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zelk {

// One line of the text read from the log; Next is the offset just past its
// line end (or past its last character when it has none).
struct TLogLine {
    std::string_view Text;
    std::size_t Next = 0;
};

// Splits log text into lines: a line ends at CR, at LF or at CR LF; a last
// line without a line end counts; a line end at the very end adds no empty
// line. Any other byte, a zero byte too, is part of its line: a kept log
// with noise in it (a crash, a half-flushed write) must not hide the lines
// after the noise for good.
std::vector<TLogLine> SplitLogLines(std::string_view text);

// A line that holds both "/zelk" and "is Playing" (case-sensitive).
bool IsStartLine(std::string_view line);
// A line that holds "Mission END" (case-sensitive).
bool IsEndLine(std::string_view line);
// The 12 characters after the "/" of the first "/zelk" (fewer when the line
// ends sooner); empty when the line has no "/zelk".
std::string MissionNameFromLine(std::string_view line);

// The event log's path: the name from the simulator's configuration (UTF-8,
// relative to the root folder; backslashes are taken as separators) under
// `folder`. An empty name gives the folder itself, whose stamp is always -1.
std::filesystem::path EventLogPath(const std::filesystem::path& folder, const std::string& eventLogName);

// What the examiner asks of its owner when a mission of ours has ended.
struct TLogActions {
    // Whether the mission list holds a mission with exactly this file name.
    // Without it nothing is ever written.
    std::function<bool(const std::string& fileName)> IsListedMission;
    // Writes that listed mission anew. Called only with a name that
    // IsListedMission has just accepted; its errors pass out of CheckLog.
    std::function<void(const std::string& fileName)> SaveMission;
    // Optional: a start line of mission `fileName` (its text and where it
    // starts in the log), and the end line of the flight started before, seen
    // before SaveMission is asked. For the logbook; their errors pass out of
    // CheckLog as SaveMission's do.
    std::function<void(const std::string& fileName, std::string_view line, std::int64_t offset)> FlightStarted;
    std::function<void(const std::string& fileName)> FlightEnded;
};

// What one CheckLog did, for the caller's report and for tests.
struct TCheckOutcome {
    bool Examined = false;   // the stamp or the size had changed: the log was read
    std::int64_t Lines = 0;  // lines in the text read
    int Started = 0;         // start lines seen
    int Saved = 0;           // missions written anew
    int Ignored = 0;         // end lines of a mission the list does not hold
};

class TLogExaminer {
public:
    // The creation steps: the log's stamp, and when the log exists its size
    // (the read position starts there with keepEventLog, else at 0).
    // `playingMission` is owned by the caller and outlives the examiner: a
    // fresh examiner carries on with the name an earlier one remembered.
    // Throws TFileError when the log exists but cannot be opened.
    TLogExaminer(std::filesystem::path logFile, bool keepEventLog, std::string& playingMission);

    // Examines what was written to the log since the last examination.
    // Throws TFileError when the log exists but cannot be read; errors of
    // actions.SaveMission pass through. State changed before a throw stays.
    TCheckOutcome CheckLog(const TLogActions& actions);

    const std::filesystem::path& LogFile() const { return FLogFile; }
    std::int32_t LogAge() const { return FLogAge; }
    std::int64_t LogPos() const { return FLogPos; }
    std::int64_t LogSize() const { return FLogSize; }
    int LineNo() const { return FLineNo; }
    bool Playing() const { return FPlaying; }

private:
    std::filesystem::path FLogFile;
    bool FKeepEventLog;
    std::string& FPlayingMission;
    // Stamp of the log when last examined; -1 for none.
    std::int32_t FLogAge = -1;
    // Size of the log when last examined (-1 for none): a write within the
    // same two-second stamp still changes it.
    std::int64_t FLogSize = -1;
    // Where the next examination starts reading, and the bytes of the log
    // just before it: when they differ, the log has been replaced.
    std::int64_t FLogPos = 0;
    std::string FPosTail;
    std::string FPosHead;  // the log's first bytes, up to the read position
    // Number (from 1) of the first line the next examination looks at.
    int FLineNo = 1;
    bool FPlaying = false;
};

}  // namespace zelk
