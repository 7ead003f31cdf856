#pragma once
// Where a training programme stands, and the rule that moves it on: after
// each flight the programme's mission is written for the same step anew or
// for the next, as the pilot's marks in the logbook decide. The state is kept
// beside the logbook in the same safe line form; its newest whole line holds.
#include <filesystem>
#include <string>
#include <vector>

#include "logbook/logbook.h"

namespace zelk {

inline constexpr const char* kProgrammeStateFileName = "zelk-programme.txt";

struct TProgrammeState {
    bool On = false;
    std::filesystem::path File;  // the programme file it was started from
    std::string Name;            // UTF-8
    int Step = 1;                // from 1
    int Steps = 0;
    bool Held = false;
    // "yes" marks in a row after which the next step comes (0: never by itself).
    int AdvanceAfter = 2;
    // Flights with a greater id count for the present step.
    int Since = 0;
    std::string Mission;  // the programme's mission file, Windows-1251

    bool operator==(const TProgrammeState&) const = default;
};

// The newest whole state line; a missing or damaged file gives the
// programme off, never an error.
TProgrammeState ReadProgrammeState(const std::filesystem::path& file);
// Appends the state as the newest line. Throws TFileError.
void WriteProgrammeState(const std::filesystem::path& file, const TProgrammeState& state);

// The rule on the flights so far: advance or stay, and why (UTF-8, in the
// pilot's language). Only finished flights of the programme's mission since
// the step began count; an unmarked latest flight never advances.
struct TStepJudgement {
    bool Advance = false;
    std::string Why;
};
TStepJudgement JudgeStep(const TProgrammeState& state, const std::vector<TFlight>& flights);

// Applies the rule: the next step (Since moves past the newest flight) when
// it says so. True when the state changed.
bool AdvanceIfDue(TProgrammeState& state, const std::vector<TFlight>& flights);

// Step moves asked by the pilot; Since moves past the newest flight, so the
// flights before count for no step after. False when there is no such step.
bool MoveStep(TProgrammeState& state, int delta, const std::vector<TFlight>& flights);

// "шаг k из n", the step's name when given, and the judgement: one line for
// the pilot (UTF-8).
std::string ProgrammeLine(const TProgrammeState& state, const std::vector<TFlight>& flights,
                          const std::string& stepName = {});

}  // namespace zelk
