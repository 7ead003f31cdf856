#pragma once
// What a mission file says about the sortie's geography, read back from the
// file's own text: the player's route, the enemy patrol, the ground units and
// the target marks. The preview draws from this, so it shows what the
// simulator will fly, whether the file was just built or read from the disk.
#include <string>
#include <string_view>
#include <vector>

namespace zelk {

struct TMapPoint {
    double X = 0;  // metres east
    double Y = 0;  // metres north
};

struct TWaypoint {
    TMapPoint At;
    std::string Kind;  // "NORMFLY", "GATTACK", ...
    int Altitude = 0;  // metres
};

// A ground object, classified by what a pilot must recognise.
enum class TUnitKind { Column, Train, Ship, Tank, Flak, Light, Vehicle, Building, House, Bridge };

struct TUnit {
    TUnitKind Kind = TUnitKind::Vehicle;
    std::string Name;             // "0_Chief", "3_Static", ...
    std::string Class;            // as written, e.g. "Armor.4-T34"
    int Army = 0;                 // 1 red, 2 blue, 0 unknown
    std::vector<TMapPoint> Path;  // one point, or a moving unit's road
    double Heading = 0;           // degrees, for static objects
    bool IsTarget = false;        // named by a target mark
};

struct TTargetMark {
    TMapPoint At;
    int Radius = 0;        // metres
    std::string UnitName;  // the unit it names, empty for a point target
};

struct TFrontMarker {
    TMapPoint At;
    int Army = 0;
};

struct TSortie {
    std::string Map;  // Windows-1251, as written
    int Hour = -1;
    int PlayerArmy = 0;
    std::string PlayerWing;  // "r0100", ...
    std::string PlayerClass;
    int PlayerPlanes = 0;
    std::vector<TWaypoint> PlayerRoute;
    std::string EnemyWing;  // empty without enemy fighters
    std::string EnemyClass;
    int EnemyPlanes = 0;
    std::vector<TWaypoint> EnemyPatrol;
    std::vector<TUnit> Units;
    std::vector<TTargetMark> Targets;
    std::vector<TFrontMarker> Front;
};

// Reads the sortie from a mission file's bytes. Lines it does not know, and
// numbers that are not numbers, are passed over: any input gives a sortie,
// never an error, and reads only within `missionText`. At most a few thousand
// points and objects are taken, far more than any mission of ours has.
TSortie ReadSortie(std::string_view missionText);

// Compass heading in whole degrees (0 north, 90 east) from `from` to `to`.
int CompassHeading(const TMapPoint& from, const TMapPoint& to);

}  // namespace zelk
