#pragma once
// The journal of variants: one line for each save of a mission, with
// everything that makes its files (parameters, comment, seed) and the hashes
// of the data files it was made from, so any variant can be written again
// byte for byte. It lives beside the program's data, never among the
// simulator's files. Each line carries its own checksum: a line torn by a
// crash, or any garbage, is passed over and never costs the other lines.
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/refdata.h"
#include "mission/mission.h"

namespace zelk {

// The journal's file name in its folder.
inline constexpr const char* kJournalFileName = "zelk-journal.txt";

struct TDataFileHash {
    int File = 0;      // N of orvak_zelk.rcN
    std::string Hash;  // 16 hexadecimal digits
    bool operator==(const TDataFileHash&) const = default;
};

struct TVariant {
    int Number = 0;          // the mission's file number
    std::int64_t Time = 0;   // seconds since 1970, UTC
    std::uint64_t Seed = 0;  // the generator's seed of that save
    TMissionData Data;
    std::vector<std::string> Comment;  // the comment box's lines, Windows-1251
    std::vector<TDataFileHash> Hashes;
    // Where Variants found the line (not part of the line): its file and
    // line number, counting from 1.
    std::filesystem::path File;
    int Line = 0;
};

// One journal line (without its line end), and back. nullopt for a line
// that is not whole: a wrong checksum, a missing field, a number that is not one.
std::string FormatVariant(const TVariant& variant);
std::optional<TVariant> ParseVariant(std::string_view line);

// 64-bit FNV-1a of a file's bytes as 16 hexadecimal digits. Throws TFileError.
std::string HashDataFile(const std::filesystem::path& path);

// Hashes of the data files a mission is made from: file 0 (aircraft and
// routes) and its target's file. Throws TFileError when one cannot be read.
std::vector<TDataFileHash> HashesFor(const TMissionData& data, const TRefData& ref);

// The data files whose hashes now differ from the variant's (empty: unchanged).
// `known`, when given, keeps each file's hash between calls, so a list of
// variants reads every data file once.
std::vector<int> ChangedDataFiles(const TVariant& variant, const TRefData& ref,
                                  std::map<int, std::string>* known = nullptr);

// The journal is opened only as a plain file: a link, a FIFO, a device or a
// folder under its name is refused with an error naming it, and nothing ever
// waits on it.
class TJournal {
public:
    // Lines go to `file`; they are read from it and from `alsoRead`.
    explicit TJournal(std::filesystem::path file, std::vector<std::filesystem::path> alsoRead = {})
        : file_(std::move(file)), alsoRead_(std::move(alsoRead)) {}
    // Empty when no place for it could be written.
    const std::filesystem::path& File() const { return file_; }

    // Appends one line in a single write, after a line break when the file
    // ends in a torn line. Throws TFileError only when the line was not written.
    void Append(const TVariant& variant) const;

    // The variants of mission `number` in every place, oldest first; whole
    // lines only, a line in two places once. A missing journal has none, a
    // torn or foreign line is passed over; a journal that exists but cannot
    // be read throws TFileError.
    std::vector<TVariant> Variants(int number) const;
    // The same for several missions in one reading; a mission the journal
    // does not know has no entry.
    std::map<int, std::vector<TVariant>> VariantsOf(std::vector<int> numbers) const;

private:
    std::filesystem::path file_;
    std::vector<std::filesystem::path> alsoRead_;
};

// A variant's time (seconds since 1970) in the local time zone, formatted
// with strftime's `format`.
std::string LocalTimeText(std::int64_t seconds, const char* format);

// Where the journal is written: where a journal we may write is kept
// already (`dataDir` first), else `dataDir` when a file can be made there,
// else `fallbackDir` (the user's application-data folder), created when
// missing. Empty path when none can be written.
std::filesystem::path JournalFolder(const std::filesystem::path& dataDir, const std::filesystem::path& fallbackDir);

// The journal every program uses: written where JournalFolder says, read
// from both places, and from `formerDir` too when given: the user's place of
// earlier versions, shared by every data folder, is read but never written.
TJournal JournalIn(const std::filesystem::path& dataDir, const std::filesystem::path& fallbackDir,
                   const std::filesystem::path& formerDir = {});

// The folder below the user's application-data folder `userBase` that stands
// in for `dataDir`: one per data folder, so that the missions of two
// simulator folders (or of a test's temporary one) never mix their variants,
// logbooks and templates. Stable for the same folder however it is spelled.
std::filesystem::path UserFolderFor(const std::filesystem::path& userBase, const std::filesystem::path& dataDir);

}  // namespace zelk
