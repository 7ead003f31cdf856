#pragma once
// Where the simulator lies around the program, and the two event-log settings
// of its configuration file.
#include <filesystem>
#include <string>

#include "files/simroot.h"

namespace zelk {

struct TSimPaths {
    std::filesystem::path Root;           // simulator root folder
    std::filesystem::path MissionFolder;  // Root/Missions/Single/NN/ZELK
    std::filesystem::path SimulatorExe;   // Root/orvaksim.exe
    std::string EventLogName;             // [game] eventlog, may be empty (UTF-8)
    bool KeepEventLog = false;            // [game] eventlogkeep, true when not 0
};

// The folders and files derived from the root; the event-log settings empty.
TSimPaths MakeSimPaths(const std::filesystem::path& root);

// Reads "eventlog" and "eventlogkeep" of section "game" of Root/conf.ini
// (ReadSimulatorConfig). A missing file, section or key gives an empty name
// and false; the file is never written.
void ReadEventLogSettings(TSimPaths& paths);

}  // namespace zelk
