#pragma once
// zelk-cli's commands over the core: each one (commands/) loads what it
// needs, checks everything it was given before it touches the disk, and
// reports a failure as one line on `err` with the exit code (0, 2 rejected,
// 1 other failure).
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli_args.h"
#include "data/refdata.h"
#include "library/commands.h"
#include "monitor/language.h"

namespace zelk::cli {

// Where the command works.
struct TContext {
    TArgs Args;
    std::filesystem::path Root;           // simulator root folder
    std::filesystem::path DataDir;        // folder of orvak_zelk.rc0..rc9
    std::filesystem::path MissionFolder;  // Root/Missions/Single/NN/ZELK
    std::ostream* Out = nullptr;
    std::ostream* Err = nullptr;
    bool EndsAfterCommand = false;  // see TCliEnvironment
};

// What a command takes from its process, given explicitly so that commands
// can run one after another inside another program (the tests) and none
// leaves anything behind for the next.
struct TCliEnvironment {
    std::filesystem::path ProgramPath;                  // its folder's parent is the default root
    std::optional<std::filesystem::path> RootVariable;  // ZELK_ROOT
    TLanguage Language = TLanguage::Russian;            // without --lang
    // The folder the window remembered; asked only when neither --root nor
    // ZELK_ROOT names one. Empty: none.
    std::function<std::optional<std::filesystem::path>()> RememberedRoot;
    // `list` leaves its records to the system instead of freeing them: only
    // for a program that ends right after the command.
    bool EndsAfterCommand = false;
};

// The environment of this process, for the program at `programPath`.
TCliEnvironment ProcessEnvironment(const std::filesystem::path& programPath);

// Runs one command line (UTF-8, without the program name) in `env`. The
// language asked for holds during the call only. Never throws. Calls may
// follow each other in one process, but not overlap: the language is the
// process's.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const TCliEnvironment& env);

// The file whose appearance in the data folder ends `watch`.
inline constexpr const char* kWatchStopFile = "watch.stop";

// A failure that is not a rejected argument: exit code 1.
class TCliFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace zelk::cli
