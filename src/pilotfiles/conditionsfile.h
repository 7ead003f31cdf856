#pragma once
// A set of mission conditions as TOML keys, named as zelk-cli's options
// (map, target, moving, mode, ...): read from a table of a pilot's file, and
// written as lines of one.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "library/conditions.h"
#include "tomltext.h"

namespace zelk {

// The condition keys, in the order they are written.
const std::vector<std::string_view>& ConditionKeys();

// The conditions of `table`. A key left out, or given as an open word
// ("любая", "любой", "любое", "случайная", "случайный", "случайное", "any",
// "random"), is open. Keys other than the conditions' and `otherKeys` are
// refused. Throws TPilotFileError naming `file` and the line at fault.
TConditions ReadConditions(const toml::table& table, const std::filesystem::path& file,
                           const std::vector<std::string_view>& otherKeys = {});

// TOML lines "key = value" for every condition, an open one as "любая", with
// the value's meaning as a comment where it is a number from a list.
std::string ConditionsToToml(const TConditions& conditions);

}  // namespace zelk
