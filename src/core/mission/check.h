#pragma once
// One check of a mission record: each field against the values the window can
// show, the writer can write and reading the mission back returns, and
// against what the loaded reference data offer. The writer, the journal and
// zelk-cli refuse a record through it, each in its own words where it has them.
#include <optional>
#include <string>
#include <vector>

#include "data/refdata.h"
#include "mission/mission.h"

namespace zelk {

enum class TMissionField {
    Number,
    Map,
    Target,
    Moving,
    Mode,
    Difficulty,
    Aircraft,
    Army,
    Flight,
    Height,
    Clouds,
    Time,
    Weather,
    Tanks,
    RandomRoute,
    Fighters,
    Comment,
};

// The first field found wrong, and a message (UTF-8, one line, in the pilot's
// language) naming the field, its value and what is accepted.
struct TFieldFault {
    TMissionField Field;
    std::string Message;
};

// The file number: 1 to 9999.
std::optional<TFieldFault> CheckMissionNumber(int number);

// The numbers of the record against their ranges (mission/params.h).
std::optional<TFieldFault> CheckFieldRanges(const TMissionData& data);

// What the record may hold whatever the data: the ranges, a cloud base of the
// pick list, texts that fit a line of the mission file, and no enemy
// fighters outside a combat sortie.
std::optional<TFieldFault> CheckMissionValues(const TMissionData& data);

// Against the loaded data: the map key exists, the target is on that map, the
// target has the variant (movement, mission type, difficulty) and the
// aircraft is offered for the mission type.
std::optional<TFieldFault> CheckMissionOffers(const TMissionData& data, const TRefData& ref);

// Comment lines (Windows-1251): at most kCommentLimit as CommentLength
// counts, no control characters but a tab.
std::optional<TFieldFault> CheckComment(const std::vector<std::string>& lines);

// The whole record with the comment its save would write: number, values,
// offers, comment, in that order.
std::optional<TFieldFault> CheckMissionRecord(const TMission& mission, const std::vector<std::string>& comment,
                                              const TRefData& ref);

// Whether a text is one of the cloud bases of the pick list (Windows-1251).
bool IsCloudName(const std::string& clouds);

// A control character (below 0x20 or 0x7F) other than a tab: it has no place
// in a line of a mission's files.
bool HasControlCharacter(std::string_view text);

}  // namespace zelk
