#include "ui/simpaths.h"

#include "doctor/simconfig.h"
#include "files/paths.h"
#include "logbook/logbook.h"

namespace zelk {

namespace fs = std::filesystem;

TSimPaths MakeSimPaths(const fs::path& root) {
    TSimPaths paths;
    paths.Root = root;
    paths.MissionFolder = MissionFolderOf(root);
    paths.SimulatorExe = SimulatorExeOf(root);
    return paths;
}

TSetupPlaces SetupPlaces(const TSimPaths& paths, const fs::path& dataDir, const std::filesystem::path& journalFile) {
    TSetupPlaces places;
    places.Root = paths.Root;
    places.DataDir = dataDir;
    places.JournalFile = journalFile;
    places.LogbookFile = LogbookFileBeside(journalFile);
    return places;
}

TSimulatorSetup SetupOf(const TSimPaths& paths, const TSimulatorConfig& config, const fs::path& dataDir,
                        const fs::path& journalFile) {
    return SimulatorSetupFrom(SetupPlaces(paths, dataDir, journalFile), config);
}

}  // namespace zelk
