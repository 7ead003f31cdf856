#pragma once
// What the window and zelk-cli take from the simulator's folder before they
// check the set-up or follow the event log: one reading of conf.ini, and the
// set-up check's input and the watch settings made from it, so that both
// programs judge the same settings the same way.
#include <filesystem>
#include <string>

#include "doctor/doctor.h"
#include "doctor/simconfig.h"

namespace zelk {

// Where the program works. The journal and the logbook are where the program
// keeps them; empty: none.
struct TSetupPlaces {
    std::filesystem::path Root;     // simulator root folder
    std::filesystem::path DataDir;  // folder of orvak_zelk.rc0..rc9
    std::filesystem::path JournalFile;
    std::filesystem::path LogbookFile;
};

// Whether auto-generation can follow the event log conf.ini names.
enum class TEventLogSetting {
    Missing,        // no [game] eventlog: nothing is ever written
    FolderMissing,  // named, but the folder it would lie in does not exist
    Usable,
};

// Wait before the next event-log monitor after one that could not watch the
// root: a passing fault then gets a second chance before the mode gives up.
inline constexpr int kNotifyRetryMs = 500;

// How auto-generation follows the event log.
struct TWatchSettings {
    std::filesystem::path Root;
    std::string EventLogName;  // UTF-8, relative to Root
    bool KeepEventLog = false;
    // Wait before the next monitor after one that could not watch; the next
    // after any other end starts at once.
    int NotifyRetryMs = 0;
    // Where the flights seen are recorded (empty: nowhere), and the journal
    // that tells which variant each one flew.
    std::filesystem::path LogbookFile;
    std::filesystem::path JournalFile;
};

struct TSimulatorSetup {
    TEventLogSetting EventLog = TEventLogSetting::Missing;
    TDoctorInput Check;
    TWatchSettings Watch;
};

// The setup from settings already read (the window reads conf.ini only when
// it changed). Looks only whether the event log's folder exists.
TSimulatorSetup SimulatorSetupFrom(const TSetupPlaces& places, const TSimulatorConfig& config);

// Reads Root/conf.ini now (ReadSimulatorConfig) and makes the setup of it.
TSimulatorSetup ReadSimulatorSetup(const TSetupPlaces& places);

}  // namespace zelk
