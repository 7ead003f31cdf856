#pragma once
// The mission's description file: its name, short text and full description,
// escaped for the simulator's mission browser.
#include <string>
#include <vector>

#include "data/refdata.h"
#include "mission/mission.h"

namespace zelk {

// The summary in written form: line breaks as backslash and n, backslashes
// doubled; for the mission's parameters, tankSuffix as the tank set-up gave it.
std::string MissionSummary(const TMissionData& data, const std::string& tankSuffix, const TRefData& ref);

// The comment box lines, backslashes doubled, each followed by backslash-n,
// the last pair removed; "" for no lines or one empty line.
std::string CommentText(const std::vector<std::string>& commentLines);

// The three lines of the file, escaped, each ended by CR LF. The title is
// plain text; summary and comment are in written form.
std::string DescriptionFileBytes(const std::string& title, const std::string& summary, const std::string& commentText);

}  // namespace zelk
