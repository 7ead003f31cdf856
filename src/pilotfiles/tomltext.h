#pragma once
// Reading and writing the pilot's TOML files: the parse, with every failure
// naming the file and line, and the quoting of texts for writing.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>
#include <string>
#include <string_view>

#include <toml++/toml.h>

#include "files/error.h"

namespace zelk {

// A file of the pilot's that cannot be read as it stands: what() names the
// file, the line and what is wrong there (UTF-8, the pilot's language).
class TPilotFileError : public TFileError {
public:
    TPilotFileError(const std::filesystem::path& file, const toml::source_region& where, const std::string& reason);
    // The line at fault, 0 when the fault is the file's as a whole.
    int Line() const { return line_; }

private:
    int line_;
};

// Parses UTF-8 TOML text read from `file`. Throws TPilotFileError.
toml::table ParseToml(std::string_view text, const std::filesystem::path& file);

// The text as toml++ 3.3 parses it soundly (see ParseToml), for a reader
// with messages of its own: `refuse` is called, and must throw, for a code
// point of the private use area the parse needs, written plainly or as an
// escape, with its byte position in `text`.
std::string TomlParserText(std::string_view text, const std::function<void(char32_t c, std::size_t at)>& refuse);
// A text taken from the parse of TomlParserText as it was written.
std::string TomlWrittenText(std::string_view parsed);

// A string value of a parsed document as it was written (see ParseToml).
std::string TomlText(const toml::node& node);
// A key of a parsed document as it was written.
std::string TomlKey(const toml::key& key);

// Whether `text` is well-formed UTF-8.
bool IsUtf8(std::string_view text);

// `text` (UTF-8) as a TOML basic string, quotes included.
std::string TomlQuoted(std::string_view text);

// Refuses a key of `table` outside `allowed`, naming it and the allowed ones.
void CheckTomlKeys(const toml::table& table, const std::vector<std::string_view>& allowed,
                   const std::filesystem::path& file);

}  // namespace zelk
