#pragma once
// How zelk-cli prints missions: JSON for programs, text for people. All texts
// of the record are Windows-1251 and leave here as UTF-8.
#include <ostream>
#include <vector>

#include <nlohmann/json.hpp>

#include "data/refdata.h"
#include "mission/mission.h"

namespace zelk::cli {

// {"number", "file", "prop_file", "title", "short", "comment", "params": {...}}
// in that order; short and comment join the record's lines with "\n".
nlohmann::ordered_json MissionJson(const TMission& mission);

// {"missions": [...]}
nlohmann::ordered_json MissionListJson(const std::vector<const TMission*>& missions);

// Prints JSON followed by a line break.
void PrintJson(std::ostream& out, const nlohmann::ordered_json& json);
// The same on one line: one document a line for a stream of them.
void PrintJsonLine(std::ostream& out, const nlohmann::ordered_json& json);

// The same text as PrintJson(out, MissionListJson(missions)), written as it
// is made: a library of thousands of missions needs no document in memory.
// Files that could not be read follow as "unreadable": [...] (UTF-8 paths),
// only when there are any.
void PrintMissionListJson(std::ostream& out, const std::vector<const TMission*>& missions,
                          const std::vector<std::string>& unreadable = {});

// One line per mission: file name and title.
void PrintMissionLine(std::ostream& out, const TMission& mission);

// The mission in full: names, title, every parameter (with its meaning where
// the catalogues name it), summary and comment. `ref` gives the aircraft name.
void PrintMissionText(std::ostream& out, const TMission& mission, const TRefData* ref);

}  // namespace zelk::cli
