#pragma once
// What several of zelk-cli's commands share (cli_library.cpp): the data and
// the mission library loaded as the window loads them, missions looked up by
// file name, saves through the journal, and the short texts of messages.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli_app.h"
#include "data/refdata.h"
#include "library/commands.h"
#include "library/journal.h"

namespace zelk::cli {

// A Windows-1251 text as UTF-8, and the same quoted with every byte printable.
std::string U(const std::string& cp1251);
std::string Q(const std::string& cp1251);

// A message of the core on one line: its line breaks become blanks.
std::string OneLine(std::string text);

// At most `limit` names, joined, with a note of how many more there are.
std::string Enumerate(const std::vector<std::string>& utf8Names, std::size_t limit = 12);

// "V (name)" for each value that indexes `names`, joined.
std::string IndexedNames(const std::vector<int>& values, const std::string* names, std::size_t count);

std::string FolderText(const std::filesystem::path& p);

// The reference data of --data; each warning of the reading on stderr.
TRefData LoadData(const TContext& ctx);

// The library as the window has it after start-up; without `mayCreate` a
// missing mission folder is an empty library. Throws TCliFailure when the
// folder cannot be listed or made.
TMissionLibrary LoadLibrary(const TContext& ctx, const TRefData& ref, bool mayCreate);

// The indices of every listed mission with that file name. Throws
// TUsageError naming the missions there are when none has it.
std::vector<int> FindListed(const TContext& ctx, const TMissionLibrary& library, const std::string& fileName);

// --seed, or a seed from the clock.
std::uint64_t SeedOf(const TContext& ctx);

// The journal of variants, with a warning when it has no place to be written.
std::optional<TJournal> OpenJournal(const TContext& ctx);
// The journal a save adds its line to, or none.
const TJournal* Writable(const std::optional<TJournal>& journal);

// Saves the listed mission with `comment` and `seed`, warning when its
// variant missed the journal. Returns its new index.
int SaveListed(const TContext& ctx, TMissionLibrary& library, const std::string& fileName, const TRefData& ref,
               const std::vector<std::string>& comment, std::uint64_t seed);
// Saves with what the mission's own save writes, as the window's does.
int SaveListed(const TContext& ctx, TMissionLibrary& library, const std::string& fileName, const TRefData& ref);

// Saves the listed mission afresh with `seed`, as after a flight, warning
// when its variant missed the journal. Returns its new index.
int SaveListedAfresh(const TContext& ctx, TMissionLibrary& library, const std::string& fileName, const TRefData& ref,
                     std::uint64_t seed);

// The mission as JSON or as text, by --json.
void PrintMission(const TContext& ctx, const TMission& mission, const TRefData& ref);

// Keeps the library until the process ends, unfreed (see TContext::EndsAfterCommand).
void LeaveUntilExit(TMissionLibrary&& library);

}  // namespace zelk::cli
