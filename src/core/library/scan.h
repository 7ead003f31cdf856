#pragma once
// Reading the mission library back from the mission folder: the folder is the
// catalogue, and each mission is rebuilt from the two files that saving wrote.
// The readers recognise only the lines our own writer produces; anything else
// is ignored, and no input makes them throw.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "data/refdata.h"
#include "library/mission.h"

namespace zelk {

// Fills fields of mission.Data from a mission file. Returns false (mission
// untouched) when the file cannot be opened; true otherwise, whatever the
// file holds. A numeric value that is not a number leaves its field as it was.
bool ReadMissionFile(const std::filesystem::path& path, TMission& mission);

// Fills Name, Short, Description, Comment and Mode, Target, Difficulty,
// Moving, RandomRoute from a description file. A file that cannot be opened
// leaves the mission untouched. `targets` is the full targets collection.
void ReadDescriptionFile(const std::filesystem::path& path, TMission& mission, const TTargetsColl& targets);

// The number of a listed entry "zelkNNNN.mis" (characters 5 to 8 read as a
// decimal integer, 1 to 9999), or -1 when the name does not carry one.
int MissionNumberFromEntry(const std::string& entryName);

struct TScanResult {
    // Missions in the order the folder listing gave them; each has been
    // through SaveState and has IsNew 0.
    std::vector<std::unique_ptr<TMission>> Missions;
    // Highest number seen among the listed entries, also those whose files
    // could not be read; 0 when none.
    int MaxNumber = 0;
    // The folder did not exist and could not be created; the list is empty.
    bool FolderFailed = false;
};

// Scans the mission folder as at start-up: creates it (with its parents) when
// missing, lists "zelk*.mis" entries that are plain, writable, not hidden
// regular files, and reads each mission back. One bad mission is left out
// and never stops the scan; no exception escapes.
TScanResult ScanMissionFolder(const std::filesystem::path& folder, const TTargetsColl& targets);

// "Папку ZELK невозможно создать!" (Windows-1251), shown when FolderFailed.
const std::string& FolderCreateErrorText();

}  // namespace zelk
