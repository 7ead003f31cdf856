#include "programme/programme.h"

#include <stdexcept>

#include "generator/random.h"
#include "text/tr.h"

namespace zelk {

std::vector<std::string> ApplyProgrammeStep(TMission& mission, const TProgramme& programme, int step,
                                            const TRefData& ref, std::uint64_t seed) {
    if (step < 1 || step > static_cast<int>(programme.Steps.size()))
        throw std::runtime_error(
            Fill(Tr("programme", "в программе «%1» нет шага %2"), {programme.Name, std::to_string(step)}));
    TRandom rnd(seed);
    TConditionsOutcome made =
        MissionFromConditions(programme.Steps[static_cast<std::size_t>(step - 1)].Conditions, ref, rnd);
    if (!made.Made) throw std::runtime_error(Tr("programme", "в файлах данных нет ни одной цели"));
    // The step's conditions are what the simulator flies next: a rewrite after
    // a flight writes the saved form, so the step becomes that form.
    mission.Data = made.Data;
    mission.SavedData = made.Data;
    mission.NextSeed.reset();
    return made.Settled;
}

}  // namespace zelk
