#include "library/formstate.h"

namespace zelk {

TFormState FormState(const TFormInputs& in) {
    TFormState s;
    // The set-up check explains every other state, the reduced one above all.
    s.Doctor = true;
    // The simulator can be started even without data: it has missions of its own.
    s.Start = true;
    if (!in.DataLoaded) {
        s.MissionList = true;
        return s;
    }
    if (in.AutoOn) {
        // Locked: nothing may change what the monitor writes, until it is off.
        s.AutoSwitch = true;
        return s;
    }
    s.MissionList = true;
    // A list that could not be read may hide numbers in use.
    s.New = !in.ListFailed;
    if (!in.HasMission) {
        s.Start = false;
        return s;
    }
    s.Copy = s.Save = s.Delete = true;
    s.Parameters = true;
    s.Moving = in.MovingOffered;
    s.TanksRed = in.TankSide == TTankSide::Red;
    s.TanksBlue = in.TankSide == TTankSide::Blue;
    s.Fighters = in.FightersOffered;
    s.RestoreVariant = in.HasVariants;
    s.AutoSwitch = true;
    return s;
}

}  // namespace zelk
