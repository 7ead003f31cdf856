#pragma once
// Reading the mission library back from the mission folder: the folder is the
// catalogue, and each mission is rebuilt from the two files that saving wrote.
// The readers recognise only the lines our own writer produces; anything else
// is ignored, and no input makes them throw.
#include <atomic>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "data/refdata.h"
#include "files/listing.h"
#include "mission/mission.h"

namespace zelk {

// Both readers open only regular files (a device, FIFO or folder counts as a
// file that cannot be opened, and is never read) and read at most a bounded
// prefix of one, far beyond anything our writer makes.

// Fills fields of mission.Data from a mission file. Returns false (mission
// untouched) when the file cannot be opened; true otherwise, whatever the
// file holds. A numeric value that is not a number leaves its field as it was.
bool ReadMissionFile(const std::filesystem::path& path, TMission& mission);

// Fills Name, Short, Description, Comment and Mode, Target, Difficulty,
// Moving, RandomRoute from a description file. A file that cannot be opened
// leaves the mission untouched. `targets` is the full targets collection.
void ReadDescriptionFile(const std::filesystem::path& path, TMission& mission, const TTargetsColl& targets);

enum class TSkipReason {
    NotFile,     // a folder, link, device or FIFO
    NoNumber,    // no number in the name
    ReadOnly,    // marked read-only
    Unreadable,  // cannot be opened or read, or was being replaced
    SameNumber,  // another spelling of a listed name's number
};

struct TSkippedEntry {
    std::string Name;
    TSkipReason Reason;
    std::string Other;  // SameNumber: the listed name that is read
};

struct TScanResult {
    // Missions in the order of their numbers; each has been through
    // SaveState and has IsNew 0.
    std::vector<std::unique_ptr<TMission>> Missions;
    // Highest number among the listed names "zelkNNNN.mis", whatever they
    // are and whether or not their files could be read; 0 when none.
    int MaxNumber = 0;
    // The folder did not exist and could not be created; the list is empty.
    bool FolderFailed = false;
    // The folder exists but could not be listed whole. The list is empty and
    // MaxNumber cannot be trusted: a number given now might be in use.
    bool ListFailed = false;
    // The system's error code of the failed listing (errno), 0 when unknown.
    int ListError = 0;
    // Files of listed missions that could not be read for a fault of the
    // disk, and missions whose two files were being replaced and could not
    // be settled into one save's: those missions are left out of the list.
    std::vector<std::filesystem::path> Unreadable;
    // Every listed "zelk*.mis" entry the list leaves out and why, in name
    // order; an entry gone since the listing is not among them.
    std::vector<TSkippedEntry> Skipped;
    // Missions read back without a description file, by listed name, in
    // name order: the listed name and the description file's.
    std::vector<std::pair<std::string, std::string>> Undescribed;
};

// Set by tests only: makes reading the file of that name fail as a broken
// disk does, once it is open.
std::function<bool(const std::string& name)>& ScanReadFault();

// How far a scan has come, read from another thread while it runs: Total is
// the number of listed missions once the listing is complete, Done how many
// of them have been dealt with (read back or left out). Done is brought up
// to date every few missions and has reached Total when the scan returns.
struct TScanProgress {
    std::atomic<std::size_t> Total{0};
    std::atomic<std::size_t> Done{0};
};

// Scans the mission folder as at start-up: creates it (with its parents) when
// missing, lists "zelk*.mis" entries that are plain, writable, not hidden
// regular files, and reads each mission back, in number order. One bad
// mission is left out and never stops the scan; no exception escapes.
TScanResult ScanMissionFolder(const std::filesystem::path& folder, const TTargetsColl& targets,
                              TScanProgress* progress = nullptr);

// The same scan of a folder that is only looked at: a missing folder is not
// created (FolderFailed).
TScanResult ScanExistingFolder(const std::filesystem::path& folder, const TTargetsColl& targets);

// "Папку ZELK невозможно создать!" (Windows-1251), shown when FolderFailed.
std::string FolderCreateErrorText();

// "Папку ZELK невозможно прочитать" with the reason (Windows-1251), shown
// when ListFailed.
std::string FolderListErrorText(int error);

}  // namespace zelk
