#pragma once
// Files of checksummed lines that only ever grow (the journal of variants,
// the logbook): each line is appended in one write and synced, and carries
// its own checksum, so a line torn by a crash, or any garbage, is passed over
// and never costs the other lines.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelk {

// 64-bit FNV-1a, continued from `h`.
std::uint64_t Fnv1a(std::string_view bytes, std::uint64_t h = 14695981039346656037ull);
// `v` as `digits` lower-case hexadecimal digits.
std::string HexDigits(std::uint64_t v, int digits);

// "TAG\tCHECKSUM\tfield\tfield..." from already escaped fields, and back:
// the fields after the checksum, or nullopt when the tag or the checksum
// does not match (a trailing CR is ignored).
std::string SealLine(std::string_view tag, const std::vector<std::string>& fields);
std::optional<std::vector<std::string_view>> OpenSealedLine(std::string_view line, std::string_view tag);

// Tabs, line breaks and backslashes escaped, so a text is one field; and back
// (nullopt for a broken escape).
std::string EscapeField(std::string_view text);
std::optional<std::string> UnescapeField(std::string_view text);

std::vector<std::string_view> SplitText(std::string_view text, char sep);

// Opens `file` only as a plain file, never through a link (whose lines would
// land elsewhere), a FIFO (which would block) or a device. For writing it is
// made when missing and opened for appending; reading a file that is not
// there gives -1. Throws TFileError with `notPlain` or `openFailed` as the
// reason.
int OpenPlainFile(const std::filesystem::path& file, bool write, const std::string& notPlain,
                  const std::string& openFailed);
// A byte count, 0 at the end, negative on a fault.
long long ReadPlainFile(int fd, char* buf, std::size_t size);
// False when closing failed (a write may not have reached the disk).
bool ClosePlainFile(int fd);

// Appends `line` and CR LF in a single write, after a line break when the
// file ends in a torn line, then syncs. Only a plain file (or none, which is
// made) is written, opened as OpenPlainFile does. Throws TFileError with
// `openFailed` or `writeFailed` as the reason.
void AppendSafeLine(const std::filesystem::path& file, const std::string& line, const std::string& openFailed,
                    const std::string& writeFailed);

// Appends `text` and CR LF to the file open at `fd` (for appending) in a
// single write, after a line break when the file ends in a torn line, then
// syncs. Each caller opens the file by its own rules.
struct TAppendedLine {
    bool Written = false;  // the whole line was taken by one write
    bool Synced = false;
};
TAppendedLine AppendLineToFd(int fd, const std::string& text);

// Splits what `read` gives (a byte count, 0 at the end, negative on a fault)
// into lines without their LF, a last line without its line end too; a line
// longer than any of ours comes as `overlong` without its text. False when a
// read failed.
bool SplitSafeLines(const std::function<long long(char* buf, std::size_t size)>& read,
                    const std::function<void(std::string_view line, bool overlong)>& each);

// Calls `each` with every line of the file, a last line without its line end
// too; overlong lines are passed over. A missing, unreadable or irregular file
// (a link too) gives no lines, never an error.
void ForEachSafeLine(const std::filesystem::path& file, const std::function<void(std::string_view)>& each);

}  // namespace zelk
