#pragma once
// Which of the main window's commands and controls are enabled, decided in
// one place from what is loaded, the current mission and the mode. The window
// only applies the answer.
#include "mission/rules.h"

namespace zelk {

struct TFormInputs {
    bool DataLoaded = false;  // the reference data were read
    bool ListFailed = false;  // the mission folder could not be listed
    bool HasMission = false;  // a mission is current
    bool AutoOn = false;      // auto-generation is switched on
    // What the current mission's target and type offer (see CheckUpTargets
    // and ApplyFightersRule); read only with a current mission.
    bool MovingOffered = false;
    TTankSide TankSide = TTankSide::None;
    bool FightersOffered = false;
    bool HasVariants = false;  // the journal lists saves of the mission
};

struct TFormState {
    // Commands; saving them all goes with Save.
    bool New = false;
    bool Copy = false;
    bool Save = false;
    bool Delete = false;
    // The mission list, the file name and the summary.
    bool MissionList = false;
    // Every control of both pages not named below, and the comment box.
    bool Parameters = false;
    bool Moving = false;
    bool TanksRed = false;
    bool TanksBlue = false;
    bool Fighters = false;
    bool RestoreVariant = false;
    // The auto-generation button and its state line.
    bool AutoSwitch = false;
    bool Start = false;
    bool Doctor = false;

    bool operator==(const TFormState&) const = default;
};

TFormState FormState(const TFormInputs& in);

}  // namespace zelk
