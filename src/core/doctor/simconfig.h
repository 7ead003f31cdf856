#pragma once
// The two settings of the simulator's configuration file that ZELK reads:
// where the event log is and whether the simulator keeps it between flights.
// Shared by the window, zelk-cli and the simulator stand-in, so that all of
// them read the same log.
#include <filesystem>
#include <string>

namespace zelk {

struct TSimulatorConfig {
    std::string EventLogName;   // "eventlog", UTF-8, relative to the root; may be empty
    bool KeepEventLog = false;  // "eventlogkeep", true when not 0
};

// Reads section "game" of root/conf.ini. Section and key names are compared
// without regard to case and the first value of a key counts, as the
// simulator's Windows profile reader takes them. The simulator writes the
// file in Windows-1251; a name that is valid UTF-8 is taken as it is. A
// missing or unreadable file, or one that is no regular file, gives the
// defaults (no log, keep false); the file is never written.
TSimulatorConfig ReadSimulatorConfig(const std::filesystem::path& root);

}  // namespace zelk
