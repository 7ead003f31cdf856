#pragma once
// The pilot's own things in zelk-cli: templates of conditions and
// kneeboard cards (cli_pilot.cpp).
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "card/card.h"
#include "cli_app.h"
#include "library/conditions.h"
#include "templates.h"

namespace zelk::cli {

// Checks --card before anything is written: a known format this build can
// write, and `count` card files none of which is a file of the mission
// folder, a data file, the journal or the templates. Throws TUsageError.
void CheckCardTarget(const TContext& ctx, int count);

// Writes the cards of `missions` to --card: one PDF of as many pages, or
// one file each (numbered when more than one). Each file is replaced in one
// step. Throws TFileError naming the file.
void WriteCards(const TContext& ctx, const std::vector<const TMission*>& missions, const TRefData& ref);

// The conditions of new --template NAME, or none without it. Throws
// TUsageError for an unknown name or parameters given beside it.
std::optional<TConditions> TemplateConditions(const TContext& ctx);

// A new mission's parameters under the template's conditions, warning on
// stderr of each fixed one the data no longer offer.
TMissionData MissionFromTemplate(const TContext& ctx, const TConditions& conditions, const TRefData& ref, TRandom& rnd);

// The templates file beside the journal. Throws TCliFailure when it has no place.
std::filesystem::path TemplatesFile(const TContext& ctx);

// The template of that name (UTF-8). Throws TUsageError naming the ones there are.
const TTemplate& Named(const std::vector<TTemplate>& templates, const std::string& name,
                       const std::filesystem::path& file);

// Every condition, a missing one as null.
nlohmann::ordered_json ConditionsJson(const TConditions& conditions);

}  // namespace zelk::cli
