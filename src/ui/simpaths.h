#pragma once
// Where the simulator lies around the program.
#include <filesystem>
#include <string>

#include "doctor/setup.h"
#include "doctor/simconfig.h"
#include "files/paths.h"
#include "files/simroot.h"

namespace zelk {

struct TSimPaths {
    std::filesystem::path Root;           // simulator root folder
    std::filesystem::path MissionFolder;  // Root/Missions/Single/NN/ZELK
    std::filesystem::path SimulatorExe;   // Root/orvaksim.exe
};

// The folders and files derived from the root.
TSimPaths MakeSimPaths(const std::filesystem::path& root);

// The window's places for the set-up check and the watch: the root, the data
// folder, the journal in use and the logbook beside it.
TSetupPlaces SetupPlaces(const TSimPaths& paths, const std::filesystem::path& dataDir,
                         const std::filesystem::path& journalFile);

// The setup from simulator settings already read.
TSimulatorSetup SetupOf(const TSimPaths& paths, const TSimulatorConfig& config, const std::filesystem::path& dataDir,
                        const std::filesystem::path& journalFile);

}  // namespace zelk
