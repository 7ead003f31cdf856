#include "ui/simpaths.h"

#include <ini.h>

#include <cstdlib>
#include <cstring>
#include <strings.h>

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

namespace {

int OnIniValue(void* user, const char* section, const char* name, const char* value) {
    auto* paths = static_cast<TSimPaths*>(user);
    if (strcasecmp(section, "game") != 0)
        return 1;
    if (strcasecmp(name, "eventlog") == 0) {
        paths->EventLogName = value;
    } else if (strcasecmp(name, "eventlogkeep") == 0) {
        // Leading digits count, as the simulator reads integers; text gives 0.
        paths->KeepEventLog = std::strtol(value, nullptr, 10) != 0;
    }
    return 1;
}

}  // namespace

void ReadEventLogSettings(TSimPaths& paths) {
    paths.EventLogName.clear();
    paths.KeepEventLog = false;
    // A parse error on some line still leaves the keys read before and after it.
    ini_parse(paths.ConfigFile.string().c_str(), OnIniValue, &paths);
}

}  // namespace zelk
