#pragma once
// What `logbook`, `programme` and `watch` share (cli_logbook.cpp).
#include <filesystem>
#include <string>
#include <vector>

#include "cli_app.h"
#include "data/refdata.h"
#include "library/commands.h"
#include "logbook/logbook.h"
#include "programme/progstate.h"

namespace zelk::cli {

// The logbook beside the journal. Throws TCliFailure when it has no place.
TLogbook OpenLogbook(const TContext& ctx);
// The programme's state file beside the logbook.
std::filesystem::path StateFileOf(const TLogbook& logbook);

// The flights and their totals: text, CSV (--csv) or JSON (--json).
void PrintFlights(TContext& ctx, const std::vector<TFlight>& flights);
// A flight's result in words.
std::string ResultText(TFlightResult result);

// One warning line on stderr.
void Warn(const TContext& ctx, const std::string& text);

// Writes the programme's mission for the step in force; the mission is
// printed. Throws what the save throws.
void WriteProgrammeMission(TContext& ctx, const TProgrammeState& state);
// The programme's state: a line, or JSON with --json.
void PrintStatus(TContext& ctx, const TProgrammeState& state, const std::vector<TFlight>& flights);

// Before `watch` writes a flown mission anew: the programme's step, if the
// mission is the programme's. Never throws; a fault is a warning.
void ApplyProgrammeBeforeSave(TContext& ctx, const TRefData& ref, TMissionLibrary& library,
                              const std::string& fileName);

}  // namespace zelk::cli
