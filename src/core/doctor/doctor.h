#pragma once
// The set-up check: everything a working installation needs (data files, the
// simulator's folder and settings, the mission folder, the event log), each
// item with what is wrong and how the pilot fixes it. Plain logic over the
// file system; it only reads, apart from one probe file that it creates and
// removes again in the mission folder. The window and zelk-cli only show the
// items.
#include <filesystem>
#include <string>
#include <vector>

namespace zelk {

enum class TDoctorArea { Data, Simulator, Missions, EventLog };
enum class TDoctorStatus { Ok, Warning, Fault };

struct TDoctorItem {
    TDoctorArea Area = TDoctorArea::Data;
    TDoctorStatus Status = TDoctorStatus::Ok;
    std::string What;  // UTF-8, one or more sentences
    std::string Fix;   // UTF-8; empty when there is nothing to do
};

struct TDoctorInput {
    std::filesystem::path DataDir;        // folder of orvak_zelk.rc0..rc9
    std::filesystem::path Root;           // simulator root folder
    std::filesystem::path MissionFolder;  // Root/Missions/Single/NN/ZELK
    std::filesystem::path SimulatorExe;   // Root/orvaksim.exe
    // [game] of Root/conf.ini as the simulator's configuration reader gave it.
    std::string EventLogName;  // UTF-8, may be empty
    bool KeepEventLog = false;
    // The journal of variants, which tells the data file a mission was made
    // from; empty when there is none.
    std::filesystem::path JournalFile;
};

// Runs every check, in the order of the areas. Never throws for anything on
// disk; each fault becomes an item.
std::vector<TDoctorItem> RunDoctor(const TDoctorInput& input);

// True when no item is a fault: everything needed works.
bool DoctorPassed(const std::vector<TDoctorItem>& items);

// Whether auto-generation can follow a log with these settings: a name is
// set and the folder it lies in exists.
bool EventLogSettingUsable(const std::filesystem::path& root, const std::string& eventLogName);

// The words shown around the items (UTF-8). Every text of the check lives in
// one table in doctor.cpp, so that a translation replaces one column.
enum class TDoctorWord {
    Title,          // the report's title
    FixLabel,       // before the fix of an item
    Passed,         // closing line when no fault was found
    Failed,         // closing line with the number of faults ({1})
    WarningsCount,  // appended: the number of warnings ({1})
    OfferQuestion,  // the window's question when auto-generation lacks its log
    Recheck,        // the dialog's button that runs the check again
    Close,          // the dialog's closing button
    ButtonCaption,  // the window's button on the second page
    ButtonHint,     // its hint
};
std::string DoctorWord(TDoctorWord word, const std::string& arg = {});
std::string DoctorAreaName(TDoctorArea area);
std::string DoctorStatusName(TDoctorStatus status);
// Stable names for machine-readable output: "data", "ok", ...
const char* DoctorAreaKey(TDoctorArea area);
const char* DoctorStatusKey(TDoctorStatus status);

// The report as plain text, one block per area, for the command line.
std::string DoctorReportText(const std::vector<TDoctorItem>& items);

}  // namespace zelk
