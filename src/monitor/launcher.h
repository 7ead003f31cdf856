#pragma once
// Starting the simulator beside the program.
#include <filesystem>

namespace zelk {

// Starts the simulator's executable as a separate process, in the current
// folder, without arguments and without waiting for it. Whether it started
// is returned for a caller that wants to know; the window does not look.
bool StartSimulator(const std::filesystem::path& executable);

}  // namespace zelk
