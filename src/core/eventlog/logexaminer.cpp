#include "eventlog/logexaminer.h"

#include <algorithm>
#include <fstream>
#include <utility>

#include "files/error.h"
#include "eventlog/logstamp.h"
#include "files/paths.h"
#include "text/tr.h"

namespace zelk {

namespace {

constexpr std::string_view kMissionMarker = "/zelk";
constexpr std::string_view kPlayingMarker = "is Playing";
constexpr std::string_view kEndMarker = "Mission END";
constexpr std::size_t kMissionNameLength = 12;
// The log is read in pieces of this size, so a huge log costs no more memory
// than a small one. A line longer than a piece is taken as pieces of it:
// no line of the simulator's comes near that.
constexpr std::size_t kReadPiece = 1 << 20;
// How many bytes before the read position are kept to recognise the log.
constexpr std::size_t kTailLength = 64;
// And how many of its first bytes: a log written anew may hold the same line
// at the same place as the one it replaced (the start of the same mission),
// but seldom the same beginning. A flight's log without keep fits whole.
constexpr std::size_t kHeadLength = 64 * 1024;

// The log, open for reading while the simulator goes on writing it. The
// standard streams open files without denying others read or write access.
class TLogReader {
public:
    explicit TLogReader(const std::filesystem::path& file) : FFile(file), FStream(file, std::ios::binary) {
        if (!FStream.is_open())
            throw TFileError(FFile, TFileError::kNoPosition,
                             Tr("launch", "не удаётся открыть журнал событий авиасимулятора"));
    }

    // The size of the open file at this moment; it may include bytes written
    // after an earlier read.
    std::int64_t SizeNow() {
        FStream.clear();
        FStream.seekg(0, std::ios::end);
        const std::streamoff end = FStream.tellg();
        if (!FStream || end < 0)
            throw TFileError(FFile, TFileError::kNoPosition, Tr("launch", "не удаётся узнать размер журнала событий"));
        return static_cast<std::int64_t>(end);
    }

    // Up to `count` bytes from `pos`; fewer when the log was cut meanwhile.
    std::string Read(std::int64_t pos, std::size_t count) {
        FStream.clear();
        FStream.seekg(static_cast<std::streamoff>(pos), std::ios::beg);
        if (!FStream) throw TFileError(FFile, pos, Tr("launch", "не удаётся перейти к позиции в журнале событий"));
        std::string text(count, '\0');
        FStream.read(text.data(), static_cast<std::streamsize>(count));
        const std::streamsize got = FStream.gcount();
        if (FStream.bad()) throw TFileError(FFile, pos, Tr("launch", "ошибка чтения журнала событий"));
        text.resize(static_cast<std::size_t>(got));
        return text;
    }

private:
    std::filesystem::path FFile;
    std::ifstream FStream;
};

// The bytes before `pos` that show whether the log is still the same one.
std::string TailBefore(TLogReader& log, std::int64_t pos) {
    const std::int64_t from = std::max<std::int64_t>(0, pos - static_cast<std::int64_t>(kTailLength));
    return log.Read(from, static_cast<std::size_t>(pos - from));
}

// The log's first bytes up to `pos`, at most kHeadLength of them.
std::string HeadBefore(TLogReader& log, std::int64_t pos) {
    return log.Read(0, static_cast<std::size_t>(std::min<std::int64_t>(pos, kHeadLength)));
}

std::int64_t SizeOnDisk(const std::filesystem::path& file) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    return ec ? -1 : static_cast<std::int64_t>(size);
}

}  // namespace

std::vector<TLogLine> SplitLogLines(std::string_view text) {
    std::vector<TLogLine> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back({text.substr(start), text.size()});
            break;
        }
        std::size_t next = end + 1;
        if (text[end] == '\r' && next < text.size() && text[next] == '\n') ++next;
        lines.push_back({text.substr(start, end - start), next});
        start = next;
    }
    return lines;
}

bool IsStartLine(std::string_view line) {
    return line.find(kMissionMarker) != std::string_view::npos && line.find(kPlayingMarker) != std::string_view::npos;
}

bool IsEndLine(std::string_view line) { return line.find(kEndMarker) != std::string_view::npos; }

std::string MissionNameFromLine(std::string_view line) {
    const std::size_t at = line.find(kMissionMarker);
    if (at == std::string_view::npos) return {};
    return std::string(line.substr(at + 1, kMissionNameLength));
}

std::filesystem::path EventLogPath(const std::filesystem::path& folder, const std::string& eventLogName) {
    if (eventLogName.empty()) return folder;
    std::string name = eventLogName;
#ifndef _WIN32
    // The configuration is written for Windows, where "logs\event.lst" is a
    // path inside the root folder.
    std::replace(name.begin(), name.end(), '\\', '/');
#endif
    return folder / PathFromUtf8(name);
}

TLogExaminer::TLogExaminer(std::filesystem::path logFile, bool keepEventLog, std::string& playingMission)
    : FLogFile(std::move(logFile)), FKeepEventLog(keepEventLog), FPlayingMission(playingMission) {
    FLogAge = FileTimeStamp(FLogFile);
    FLogPos = 0;
    if (FLogAge != -1) {
        TLogReader log(FLogFile);
        FLogSize = log.SizeNow();
        if (FKeepEventLog) {
            FLogPos = FLogSize;
            FPosTail = TailBefore(log, FLogPos);
            FPosHead = HeadBefore(log, FLogPos);
        }
    }
    FLineNo = 1;
    FPlaying = false;
}

TCheckOutcome TLogExaminer::CheckLog(const TLogActions& actions) {
    TCheckOutcome outcome;
    const std::int32_t stamp = FileTimeStamp(FLogFile);
    if (stamp == -1) return outcome;
    // The stamp alone misses a second write within the same two seconds, and
    // with it an end line written right after the line before it.
    const std::int64_t size = SizeOnDisk(FLogFile);
    if (stamp == FLogAge && size == FLogSize) return outcome;
    FLogAge = stamp;
    FLogSize = size;

    TLogReader log(FLogFile);
    // A log shorter than the read position, or with other bytes just before
    // it, has been emptied or replaced: everything in it is new. Reading on
    // from the old position would miss every flight until the log grows past
    // it, or read from inside a line that has grown past it already.
    const auto tailLength = static_cast<std::int64_t>(FPosTail.size());
    if (log.SizeNow() < FLogPos || log.Read(FLogPos - tailLength, static_cast<std::size_t>(tailLength)) != FPosTail ||
        log.Read(0, FPosHead.size()) != FPosHead) {
        FLogPos = 0;
        FPosTail.clear();
        FPosHead.clear();
    }
    const std::int64_t base = FLogPos;
    // The text is what lies between the read position and the end as it is
    // now; the range of k is fixed when the pass starts, and a change of
    // FLineNo counts from the next pass on.
    const std::int64_t end = log.SizeNow();
    const std::int64_t first = FLineNo;
    std::int64_t k = 0;
    outcome.Examined = true;

    auto look = [&](std::string_view text, std::int64_t start, std::int64_t next, std::string_view tail) {
        if (++k < first) return;
        if (IsStartLine(text)) {
            // The next passes read again from just past this line, from their
            // first line, until the end line. Reading from the log's size now
            // could skip an end line written meanwhile or a line still half
            // written, and skipping lines by number skips an end line written
            // alone: either way the pilot would fly the same variant again.
            FPlaying = true;
            FLogPos = next;
            FPosTail = tail;
            FPosHead = HeadBefore(log, FLogPos);
            FLineNo = 1;
            FPlayingMission = MissionNameFromLine(text);
            ++outcome.Started;
            if (actions.FlightStarted) actions.FlightStarted(FPlayingMission, text, start);
        } else if (IsEndLine(text) && FPlaying) {
            FPlaying = false;
            FLogPos = FKeepEventLog ? log.SizeNow() : 0;
            FPosTail = TailBefore(log, FLogPos);
            FPosHead = HeadBefore(log, FLogPos);
            FLineNo = 1;
            if (actions.FlightEnded) actions.FlightEnded(FPlayingMission);
            // The name comes from the log: it only ever selects a listed
            // mission, so no text in the log can lead a write elsewhere.
            if (actions.IsListedMission && actions.SaveMission && actions.IsListedMission(FPlayingMission)) {
                actions.SaveMission(FPlayingMission);
                ++outcome.Saved;
            } else {
                ++outcome.Ignored;
            }
        }
    };

    // Lines are looked at piece by piece; the unfinished last line of a piece
    // (or a CR that a LF may follow) waits for the next one.
    std::string buffer;
    std::int64_t bufferPos = base;  // log offset of buffer[0]
    std::int64_t pos = base;
    bool last = pos >= end;
    while (!last) {
        std::string piece = log.Read(pos, static_cast<std::size_t>(std::min<std::int64_t>(end - pos, kReadPiece)));
        pos += static_cast<std::int64_t>(piece.size());
        last = piece.empty() || pos >= end;
        buffer += piece;
        std::size_t used = 0;
        for (const TLogLine& line : SplitLogLines(buffer)) {
            const bool whole =
                last || line.Next < buffer.size() || (line.Next == buffer.size() && buffer.back() == '\n');
            if (!whole) break;
            const std::size_t from = line.Next - std::min(line.Next, kTailLength);
            look(line.Text, bufferPos + static_cast<std::int64_t>(line.Text.data() - buffer.data()),
                 bufferPos + static_cast<std::int64_t>(line.Next),
                 std::string_view(buffer).substr(from, line.Next - from));
            used = line.Next;
        }
        if (!last && used == 0 && buffer.size() > kReadPiece) {
            look(std::string_view(buffer).substr(0, kReadPiece), bufferPos,
                 bufferPos + static_cast<std::int64_t>(kReadPiece),
                 std::string_view(buffer).substr(kReadPiece - kTailLength, kTailLength));
            used = kReadPiece;
        }
        buffer.erase(0, used);
        bufferPos += static_cast<std::int64_t>(used);
    }
    outcome.Lines = k;
    return outcome;
}

}  // namespace zelk
