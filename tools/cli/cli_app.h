#pragma once
// zelk-cli's commands over the core: each one loads what it needs, checks
// everything it was given before it touches the disk, and reports a failure
// as one line on `err` with the exit code (0, 2 rejected, 1 other failure).
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "cli_args.h"
#include "data/refdata.h"
#include "library/commands.h"

namespace zelk::cli {

// Where the command works.
struct TContext {
    TArgs Args;
    std::filesystem::path Root;           // simulator root folder
    std::filesystem::path DataDir;        // folder of orvak_zelk.rc0..rc9
    std::filesystem::path MissionFolder;  // Root/Missions/Single/NN/ZELK
    std::ostream* Out = nullptr;
    std::ostream* Err = nullptr;
};

// Runs one command line (UTF-8, without the program name). `exePath` is the
// running program, from which the default root is found. Never throws.
int RunCli(const std::vector<std::string>& args, const std::filesystem::path& exePath, std::ostream& out,
           std::ostream& err);

// The auto-generation mode without a window (cli_watch.cpp): follows the
// event log named in Root/conf.ini and writes each finished mission anew
// until SIGINT or SIGTERM. Returns the exit code.
int RunWatch(TContext& ctx, TRefData& ref, TMissionLibrary& library);

// The set-up check (cli_doctor.cpp): prints the report; 0 when everything
// needed works, 1 otherwise.
int RunDoctorCommand(TContext& ctx);

// A failure that is not a rejected argument: exit code 1.
class TCliFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace zelk::cli
