#pragma once
// The fixed vocabulary compiled into the program. All texts are Windows-1251.
// Tables indexed [side][i] use side 1 (red) and 2 (blue); row 0 of the side
// index, and row 0 of the class and column tables, are unused (empty).
#include <array>
#include <string>

namespace zelk {

extern const std::array<std::string, 4> ModeNames;
extern const std::array<std::string, 2> DifficultyNames;
extern const std::array<std::string, 2> MovementNames;

extern const std::array<std::string, 4> ArmyNames;
extern const std::array<std::string, 4> ArmyGroupCodes;
extern const std::array<int, 4> ArmySideNumbers;
extern const std::array<int, 4> EnemySide;

// [side 0..2][type 0..13]
extern const std::array<std::array<std::string, 14>, 3> TankClasses;
extern const std::array<std::array<std::string, 14>, 3> TankColumns;
extern const std::array<std::array<std::string, 14>, 3> TankDisplayNames;
extern const std::string HeavyGunClass;

// [side 0..2][k 0..10]
extern const std::array<std::array<std::string, 11>, 3> FighterClasses;
extern const std::array<std::array<int, 11>, 3> FighterCeilings;
extern const std::array<std::array<int, 11>, 3> FighterArmies;

extern const std::array<std::string, 2> AutoButtonCaptions;

// Texts of the window's fixed pick lists, also used in the mission summary.
extern const std::array<std::string, 7> WeatherNames;
extern const std::array<std::string, 11> CloudNames;  // "500" ... "1500"
extern const std::array<std::string, 3> FlightNames;  // "Нет", "Пара", "Звено"
std::string TimeName(int hour);                       // "00:00" ... "23:00"

// A name of these tables as shown to a person (UTF-8, in the pilot's
// language); the tables themselves, which go into files, never change. Any
// other text comes back as it is, converted to UTF-8.
std::string ShownName(const std::string& name);

constexpr char BlockLineEnd = '\x07';
constexpr char BlockEnd = '\x04';

}  // namespace zelk
