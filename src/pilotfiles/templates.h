#pragma once
// Templates: named sets of mission conditions the pilot keeps, in one
// readable TOML file beside the journal of variants:
//
//   [[template]]
//   name = "Ночная колонна"
//   target_kind = "колонна"
//   time = 22
//   weather = "любая"
//   ...
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "conditionsfile.h"

namespace zelk {

inline constexpr const char* kTemplatesFileName = "zelk-templates.toml";

struct TTemplate {
    std::string Name;  // UTF-8, unique in its file
    TConditions Conditions;
};

// The templates file beside the journal file `journalFile`.
std::filesystem::path TemplatesFileBeside(const std::filesystem::path& journalFile);

// The templates of `file` in file order; none when it does not exist.
// Throws TPilotFileError for a fault of its text (naming the line), and
// TFileError when it cannot be read.
std::vector<TTemplate> ReadTemplates(const std::filesystem::path& file);

// The templates as the text of a templates file.
std::string TemplatesToToml(const std::vector<TTemplate>& templates);

// Replaces `file` with the templates in one step. Throws TFileError.
void WriteTemplates(const std::filesystem::path& file, const std::vector<TTemplate>& templates);

// The template named `name`, or null.
const TTemplate* FindTemplate(const std::vector<TTemplate>& templates, std::string_view name);

// Why `name` cannot name a template (UTF-8), or empty when it can.
std::string TemplateNameError(std::string_view name);

}  // namespace zelk
