#pragma once
// The pilot's own things in zelk-cli: templates of conditions and
// kneeboard cards (cli_pilot.cpp).
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "card/card.h"
#include "cli_app.h"
#include "library/conditions.h"

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

// template list|show|save|delete. `listed` finds save's mission by file
// name (throwing TUsageError when no listed mission has it).
int RunTemplateCommand(TContext& ctx, const std::function<const TMission*(const std::string&)>& listed);

}  // namespace zelk::cli
