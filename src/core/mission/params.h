#pragma once
// The values each mission parameter may take. The window's boxes, zelk-cli's
// options, reading a mission back and the writer's check all take them from
// here, so a limit changes in one line.
#include <cstddef>
#include <tuple>

#include "data/catalogues.h"

namespace zelk {

struct TParamRange {
    int Lo;
    int Hi;
    constexpr bool Contains(long long value) const { return value >= Lo && value <= Hi; }
};

inline constexpr TParamRange kMovingRange{0, 1};
inline constexpr TParamRange kModeRange{0, 3};
inline constexpr TParamRange kDifficultyRange{0, 1};
inline constexpr TParamRange kArmyRange{0, 3};
inline constexpr TParamRange kFlightRange{0, 2};       // wingmen: none, a pair, a flight
inline constexpr TParamRange kHeightRange{50, 15000};  // metres
inline constexpr int kHeightStep = 10;                 // one arrow press in the window
inline constexpr TParamRange kTimeRange{0, 23};        // hour of the start
inline constexpr TParamRange kWeatherRange{0, 6};
inline constexpr TParamRange kTanksRange{0, 13};  // 0 the heavy gun, else a tank type
inline constexpr TParamRange kRandomRouteRange{0, 1};
inline constexpr TParamRange kFightersRange{0, 4};  // enemy fighters
inline constexpr TParamRange kMissionNumberRange{1, 9999};

// The pick lists show one catalogue entry per value.
template <class Table>
constexpr bool CoversTable(TParamRange r) {
    return r.Lo == 0 && static_cast<std::size_t>(r.Hi) + 1 == std::tuple_size_v<Table>;
}
static_assert(CoversTable<decltype(ModeNames)>(kModeRange));
static_assert(CoversTable<decltype(DifficultyNames)>(kDifficultyRange));
static_assert(CoversTable<decltype(MovementNames)>(kMovingRange));
static_assert(CoversTable<decltype(ArmyNames)>(kArmyRange));
static_assert(CoversTable<decltype(FlightNames)>(kFlightRange));
static_assert(CoversTable<decltype(WeatherNames)>(kWeatherRange));
static_assert(CoversTable<decltype(TankDisplayNames)::value_type>(kTanksRange));

}  // namespace zelk
