#pragma once
// Ground forces and target objects: the object blocks of a target copied into
// the mission file, line by line, with their placeholders filled.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "mission/mission.h"
#include "mission/rules.h"

namespace zelk {

class TRandom;
class TDataFile;

// Working values of one mission file.
struct TObjectWork {
    std::string Title;  // ModeNames[Mode] + " - " + Target, without the suffix
    bool HeavyFlak = false;
    TTankSide TankSide = TTankSide::None;  // None before the tank set-up
    // Slots 1..9 hold tank types 1..13, or 0 for the heavy gun; [0] is unused.
    std::array<int, 10> TankSlots{};
    int TankSlotCursor = 1;
    std::string TankSuffix;  // "" or " [" + display name + "]"
};

// Side, slots, suffix, heavy flak and cursor for the mission; draws from rnd
// only for a random tank composition (Tanks == 0).
void SetUpTanks(const TMissionData& data, TObjectWork& work, TRandom& rnd);

// The three passes over one object line: heavy flak, red column vehicles,
// placeholders (%t %p %b %v %r %h %a). Advances TankSlotCursor.
std::string ExpandObjectLine(std::string_view line, const TMissionData& data, TObjectWork& work);

// One section: nothing for offset -1, the header alone for -2, else the
// header and the expanded lines of the block at offset, each ended by CR LF
// and appended to `out`. An empty header writes no header line. Throws
// TFileError for any other negative offset or a broken block.
void CopyObjectBlock(std::string_view header, std::int32_t offset, TDataFile& dataFile, const TMissionData& data,
                     TObjectWork& work, std::string& out);

}  // namespace zelk
