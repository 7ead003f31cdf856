#include "library/formstate.h"

#include <gtest/gtest.h>

namespace zelk {
namespace {

TEST(FormState, EachStateOfTheWindow) {
    TFormInputs mission;
    mission.DataLoaded = mission.HasMission = true;
    mission.MovingOffered = true;
    mission.TankSide = TTankSide::Blue;
    mission.HasVariants = true;

    TFormInputs noData;
    TFormInputs empty;
    empty.DataLoaded = true;
    TFormInputs unlisted = empty;
    unlisted.ListFailed = true;
    TFormInputs locked = mission;
    locked.AutoOn = true;
    TFormInputs training = mission;
    training.MovingOffered = training.HasVariants = false;
    training.TankSide = TTankSide::None;

    // Fields in declaration order: New Copy Save Delete MissionList Parameters
    // Moving TanksRed TanksBlue Fighters RestoreVariant AutoSwitch Start Doctor.
    const struct {
        const char* name;
        TFormInputs in;
        TFormState out;
    } cases[] = {
        {"without data only the start and the check", noData, {0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 1}},
        {"an empty library offers New", empty, {1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1}},
        {"an unlisted folder refuses New", unlisted, {0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1}},
        {"a mission offers what its target has", mission, {1, 1, 1, 1, 1, 1, 1, 0, 1, 0, 1, 1, 1, 1}},
        {"a training sortie without variants", training, {1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 1, 1, 1}},
        {"auto-generation locks all but its switch", locked, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1}},
    };
    for (const auto& c : cases) EXPECT_EQ(FormState(c.in), c.out) << c.name;
}

}  // namespace
}  // namespace zelk
