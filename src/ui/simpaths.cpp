#include "ui/simpaths.h"

#include "monitor/simconfig.h"

namespace zelk {

namespace fs = std::filesystem;

fs::path SimulatorRootOf(const fs::path& programDir) {
    fs::path dir = programDir;
    // "C:\Sim\ZELK\" and "C:\Sim\ZELK" name the same folder.
    if (!dir.has_filename() && dir.has_parent_path() && dir != dir.root_path())
        dir = dir.parent_path();
    if (dir.empty() || dir == dir.root_path() || !dir.has_parent_path())
        return dir;
    return dir.parent_path();
}

TSimPaths MakeSimPaths(const fs::path& root) {
    TSimPaths paths;
    paths.Root = root;
    paths.MissionFolder = root / "Missions" / "Single" / "NN" / "ZELK";
    paths.SimulatorExe = root / "orvaksim.exe";
    paths.ConfigFile = root / "conf.ini";
    return paths;
}

void ReadEventLogSettings(TSimPaths& paths) {
    const TSimulatorConfig config = ReadSimulatorConfig(paths.Root);
    paths.EventLogName = config.EventLogName;
    paths.KeepEventLog = config.KeepEventLog;
}

}  // namespace zelk
