#pragma once
// The mission's description file: its name, short text and full description,
// escaped for the simulator's mission browser.
#include <string>
#include <vector>

#include "data/refdata.h"
#include "library/mission.h"

namespace zelk {

// The summary with its written line breaks (backslash and n), for the
// mission's parameters; tankSuffix as the tank set-up gave it.
std::string MissionSummary(const TMissionData& data, const std::string& tankSuffix, const TRefData& ref);

// The comment box lines each followed by backslash-n, the last pair removed;
// "" for no lines or one empty line.
std::string CommentText(const std::vector<std::string>& commentLines);

// The three lines of the file, escaped, each ended by CR LF.
std::string DescriptionFileBytes(const std::string& title, const std::string& summary,
                                 const std::string& commentText);

}  // namespace zelk
