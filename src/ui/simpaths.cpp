#include "ui/simpaths.h"

#include "monitor/simconfig.h"
#include "files/paths.h"

namespace zelk {

namespace fs = std::filesystem;

TSimPaths MakeSimPaths(const fs::path& root) {
    TSimPaths paths;
    paths.Root = root;
    paths.MissionFolder = MissionFolderOf(root);
    paths.SimulatorExe = SimulatorExeOf(root);
    return paths;
}

void ReadEventLogSettings(TSimPaths& paths) {
    const TSimulatorConfig config = ReadSimulatorConfig(paths.Root);
    paths.EventLogName = config.EventLogName;
    paths.KeepEventLog = config.KeepEventLog;
}

}  // namespace zelk
