#pragma once
// The training programme as the pilot writes it: a readable TOML file of
// steps, each a table of conditions named as zelk-cli's options.
#include <cstdint>
#include <filesystem>

#include "programme/programme.h"
#include "programme/progstate.h"

namespace zelk {

// Reads a programme file. Throws TPilotFileError naming the file and the
// line at fault, TFileError when it cannot be read.
TProgramme ReadProgrammeFile(const std::filesystem::path& file);

// Gives the programme's mission the conditions of the step in force, read
// from the state's programme file and drawn with `seed`. Throws as
// ReadProgrammeFile and ApplyProgrammeStep; the mission is then unchanged.
void PrepareProgrammeMission(TMission& mission, const TRefData& ref, const TProgrammeState& state, std::uint64_t seed);

// The name of the state's step in its programme file; empty when the file
// cannot be read or the step has none. Never throws.
std::string ProgrammeStepName(const TProgrammeState& state);

}  // namespace zelk
