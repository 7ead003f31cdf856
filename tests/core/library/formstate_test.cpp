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

    // Only what is enabled is named; a field left out is disabled.
    const struct {
        const char* name;
        TFormInputs in;
        TFormState out;
    } cases[] = {
        {"without data only the start and the check", noData, {.MissionList = true, .Start = true, .Doctor = true}},
        {"an empty library offers New", empty, {.New = true, .MissionList = true, .Doctor = true}},
        {"an unlisted folder refuses New", unlisted, {.MissionList = true, .Doctor = true}},
        {"a mission offers what its target has",
         mission,
         {.New = true,
          .Copy = true,
          .Save = true,
          .Delete = true,
          .MissionList = true,
          .Parameters = true,
          .Moving = true,
          .TanksBlue = true,
          .RestoreVariant = true,
          .AutoSwitch = true,
          .Start = true,
          .Doctor = true}},
        {"a training sortie without variants",
         training,
         {.New = true,
          .Copy = true,
          .Save = true,
          .Delete = true,
          .MissionList = true,
          .Parameters = true,
          .AutoSwitch = true,
          .Start = true,
          .Doctor = true}},
        {"auto-generation locks all but its switch", locked, {.AutoSwitch = true, .Start = true, .Doctor = true}},
    };
    for (const auto& c : cases) EXPECT_EQ(FormState(c.in), c.out) << c.name;
}

}  // namespace
}  // namespace zelk
