#pragma once
// What the reference data offer for a mission, and the settling of a mission
// into it. The window and zelk-cli both show and check through these; neither
// holds a rule of its own.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "files/error.h"
#include "data/refdata.h"
#include "mission/mission.h"
#include "mission/rules.h"

namespace zelk {

// What one target offers, each offer on its own: a mission type counts as
// offered when any cell of that type is defined, whatever its movement and
// difficulty, and likewise for movement and difficulty.
struct TOffers {
    bool Moving = false;
    bool Stationary = false;
    std::array<bool, kModeCount> Modes{};
    std::array<bool, kDifficultyCount> Difficulties{};

    bool ModeOffered(int mode) const { return mode >= 0 && mode < kModeCount && Modes[static_cast<std::size_t>(mode)]; }
    bool DifficultyOffered(int difficulty) const {
        return difficulty >= 0 && difficulty < kDifficultyCount && Difficulties[static_cast<std::size_t>(difficulty)];
    }
};

// Offers of a target; nothing is offered when target is null.
TOffers TargetOffers(const TTarget* target);

// The variant fields a settling must not change: the one the pilot has just
// chosen, or those given on the command line.
struct TVariantKeep {
    bool Moving = false;
    bool Mode = false;
    bool Difficulty = false;
};

// Whether the target has a defined cell for data's movement, difficulty and
// mission type: only such a cell has target objects to write.
bool VariantDefined(const TTarget& target, const TMissionData& data);

// Moves data's Moving, Mode and Difficulty onto a defined cell of the target.
// The kept fields must match; of the cells that do, the one that also keeps
// Mode, then Difficulty, then Moving wherever possible, and among equals the
// lowest type, difficulty, movement. False, with data unchanged, when no
// defined cell matches the kept fields.
bool SettleVariant(const TTarget& target, TMissionData& data, TVariantKeep keep = {});

// Why a save of this mission would write no target objects, in Russian
// (Windows-1251): its target has no defined cell for its movement, type and
// difficulty. Empty when the cell is defined, or when the target is not in
// the data at all (the writer reports that itself).
std::string UndefinedVariantText(const TMissionData& data, const TRefData& ref);

// A save refused for that reason: the pilot's to change, not a file fault.
class TVariantRefused : public TFileError {
public:
    using TFileError::TFileError;
};

// Aircraft offered for a mission type (bit `mode` of Modes, mode at most 7),
// in collection order.
std::vector<const TAircraft*> OfferedAircrafts(const TAircraftsColl& aircrafts, int mode);

// Name of the first aircraft whose AirClass equals airClass exactly, or "".
std::string GetAircraftName(const TAircraftsColl& aircrafts, std::string_view airClass);

// The aircraft list as CheckUpAircrafts leaves it.
struct TAircraftChoice {
    std::vector<const TAircraft*> Aircrafts;  // offered for the mission type
    int Selected = -1;                        // index into Aircrafts; -1 when empty
};

// Refills the aircraft list for data.Mode and settles data.Aircraft: kept when
// offered, else the first offered aircraft. With no aircraft offered the
// list is empty, nothing is selected and Aircraft stays as it was.
TAircraftChoice CheckUpAircrafts(TMissionData& data, const TAircraftsColl& aircrafts);

// Everything the window's target-dependent controls show after a refresh.
// A list with nothing to select has Selected -1.
struct TTargetChoice {
    int MapSelected = -1;                 // position in ref.Maps; 0 when Map matches no key, -1 with no maps
    std::vector<const TTarget*> Targets;  // the targets of the mission's map
    int TargetSelected = -1;
    const TTarget* CurrentTarget = nullptr;  // the selected target, or null
    TOffers Offers;
    bool MovingEnabled = false;
    bool MovingChecked = false;
    std::vector<int> Modes;  // offered mission types, ascending
    int ModeSelected = -1;
    std::vector<int> Difficulties;  // offered difficulties, ascending
    int DifficultySelected = -1;
    TAircraftChoice Aircraft;
    int TanksRedShown = 0;                 // position shown in the red tank list
    int TanksBlueShown = 0;                // position shown in the blue tank list
    bool TanksEnabled = false;             // either list is offered
    TTankSide TankSide = TTankSide::None;  // the list offered
};

// Settles the mission into what its map and target offer, as the window's
// refresh does: the target is kept if the map offers it, else the map's first
// target; Moving, Mode and Difficulty land on a defined cell (SettleVariant,
// keeping `keep` where the target allows it), Aircraft on the first offered
// aircraft when its own is not offered. A field whose list is empty (a map
// without targets, a target without defined cells, a mission type without
// aircraft) stays as it was, but Moving is cleared. Tanks is not changed.
TTargetChoice CheckUpTargets(TMission& mission, const TRefData& ref, TVariantKeep keep = {});

// Whether the mission's map offers its target. A mission read back while its
// map or target was left out of the reference data is not: it is shown as
// it was read and cannot be saved until the pilot picks another target.
bool TargetAvailable(const TMissionData& data, const TRefData& ref);

// What the window shows for a mission whose target is not available, with
// nothing settled: its map's targets with none selected, its own mission
// type, difficulty and movement, each list holding only that value, and the
// aircraft offered for its type.
TTargetChoice ChoiceAsRead(const TMission& mission, const TRefData& ref);

// Enemy fighters fly only in a combat sortie (FightersAllowed): any other
// difficulty sets Fighters to 0. Returns whether the fighters box is enabled.
bool ApplyFightersRule(TMissionData& data);

// What ShowMissionData applies: CheckUpTargets, then the fighters rule.
struct TMissionChoice {
    TTargetChoice Targets;
    bool FightersEnabled = false;
};
TMissionChoice SettleMission(TMission& mission, const TRefData& ref, TVariantKeep keep = {});

// The side whose tank columns a save of this mission fills (TankSideFor of
// its target and army).
TTankSide TankSideOf(const TMissionData& data);

// The tank list a save of this mission reads: the side whose columns it
// fills, for a tank target (IsTankTarget); None for any other target.
TTankSide OfferedTankList(const TMissionData& data);

}  // namespace zelk
