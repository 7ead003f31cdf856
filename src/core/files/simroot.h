#pragma once
// Which folder is the simulator's root. A copy placed in <simulator>/ZELK/
// finds it as the parent of its own folder; an installed program
// (/usr/bin/zelk) does not, and needs a folder the pilot names. The window,
// zelk-cli and the simulator stand-in all choose by these functions.
#include <filesystem>
#include <optional>
#include <string>

namespace zelk {

// Where the chosen root came from.
enum class TRootSource {
    Option,         // --root
    Environment,    // ZELK_ROOT
    ProgramFolder,  // the parent of the program's folder, holding a simulator
    Remembered,     // the folder the pilot once named in the window
    NotFound,       // no simulator anywhere: the parent of the program's folder
};

struct TRootInputs {
    std::optional<std::filesystem::path> Option;
    std::optional<std::filesystem::path> Environment;
    std::filesystem::path ProgramDefault;  // SimulatorRootOf(program folder)
    std::optional<std::filesystem::path> Remembered;
};

struct TRootChoice {
    std::filesystem::path Root;
    TRootSource Source = TRootSource::NotFound;
};

// The simulator's files are there: conf.ini or orvaksim.exe.
bool HoldsSimulator(const std::filesystem::path& dir);

// The parent of the program's own folder. A program placed in the root of a
// drive has no parent: its own folder is taken then.
std::filesystem::path SimulatorRootOf(const std::filesystem::path& programDir);

// --root, then ZELK_ROOT, both taken as given; then the program folder's
// parent and the remembered folder, each only when it holds a simulator;
// else the program folder's parent, marked NotFound.
TRootChoice ChooseRoot(const TRootInputs& inputs);

// ZELK_ROOT, when set and not empty.
std::optional<std::filesystem::path> RootFromEnvironment();

// How a message names the source (Russian, UTF-8).
std::string RootSourceText(TRootSource source);

}  // namespace zelk
