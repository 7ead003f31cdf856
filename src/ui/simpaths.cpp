#include "ui/simpaths.h"

#include <ini.h>

#include <cstdlib>
#include <string_view>

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

// Section and key names are compared as the simulator does: ASCII letters
// without regard to case.
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

int OnIniValue(void* user, const char* section, const char* name, const char* value) {
    auto* paths = static_cast<TSimPaths*>(user);
    if (!SameName(section, "game"))
        return 1;
    if (SameName(name, "eventlog")) {
        paths->EventLogName = value;
    } else if (SameName(name, "eventlogkeep")) {
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
