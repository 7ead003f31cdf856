#include "library/surprise.h"

#include <algorithm>
#include <vector>

#include "data/catalogues.h"
#include "data/codepage.h"
#include "library/availability.h"
#include "mission/params.h"
#include "mission/rules.h"

namespace zelk {

namespace {

struct TCandidate {
    const TTarget* Target;
    int Moving, Difficulty, Mode;
};

template <typename T>
bool Fits(const std::optional<T>& fixed, const T& value) {
    return !fixed || *fixed == value;
}

template <typename T>
const T& Pick(const std::vector<T>& items, TRandom& rnd) {
    return items[rnd.Draw(static_cast<std::uint32_t>(items.size()))];
}

}  // namespace

bool DrawSurprise(TMissionData& data, const TRefData& ref, const TFixedParams& fixed, TRandom& rnd) {
    // Every defined variant of every target counts once, so a target with
    // many variants comes up more often, as it has more to fly.
    std::vector<TCandidate> candidates;
    for (const auto& target : ref.Targets.Items) {
        if (!Fits(fixed.Map, target->MapKey) || !Fits(fixed.Target, target->Name)) continue;
        if (fixed.TargetKind && LowerCp1251(target->Name).find(LowerCp1251(*fixed.TargetKind)) == std::string::npos)
            continue;
        // Only a target the window can show: its map must be listed.
        if (std::none_of(ref.Maps.Items.begin(), ref.Maps.Items.end(),
                         [&](const TMap& m) { return m.Key == target->MapKey; }))
            continue;
        for (const TVariantKey& v : DefinedVariants(*target)) {
            if (!Fits(fixed.Moving, v.Moving) || !Fits(fixed.Difficulty, v.Difficulty) || !Fits(fixed.Mode, v.Mode))
                continue;
            const auto aircrafts = OfferedAircrafts(ref.Aircrafts, v.Mode);
            const bool flyable = fixed.Aircraft
                                     ? std::any_of(aircrafts.begin(), aircrafts.end(),
                                                   [&](const TAircraft* a) { return a->AirClass == *fixed.Aircraft; })
                                     : !aircrafts.empty();
            if (flyable) candidates.push_back({target.get(), v.Moving, v.Difficulty, v.Mode});
        }
    }
    if (candidates.empty()) return false;

    const TCandidate& c = Pick(candidates, rnd);
    data.Map = c.Target->MapKey;
    data.Target = c.Target->Name;
    data.Moving = static_cast<std::uint8_t>(c.Moving);
    data.Difficulty = static_cast<std::uint8_t>(c.Difficulty);
    data.Mode = static_cast<std::uint8_t>(c.Mode);
    data.Aircraft = fixed.Aircraft ? *fixed.Aircraft : Pick(OfferedAircrafts(ref.Aircrafts, c.Mode), rnd)->AirClass;
    data.Time = fixed.Time ? *fixed.Time : rnd.DrawRange(kTimeRange.Lo, kTimeRange.Hi);
    data.Weather = fixed.Weather ? *fixed.Weather : rnd.DrawRange(kWeatherRange.Lo, kWeatherRange.Hi);
    data.Clouds = fixed.Clouds ? *fixed.Clouds : CloudNames[rnd.Draw(static_cast<std::uint32_t>(CloudNames.size()))];
    data.RandomRoute = static_cast<std::uint8_t>(
        fixed.RandomRoute ? *fixed.RandomRoute : rnd.DrawRange(kRandomRouteRange.Lo, kRandomRouteRange.Hi));
    if (!FightersAllowed(data.Difficulty)) data.Fighters = 0;
    return true;
}

}  // namespace zelk
