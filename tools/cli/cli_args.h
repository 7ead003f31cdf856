#pragma once
// The command line of zelk-cli as values: what was asked, checked for form and
// range, with texts already in Windows-1251. Checks that need the reference
// data (map keys, targets, offers) come later, in the commands' runs.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "files/paths.h"

namespace zelk::cli {

// A rejected argument or value: exit code 2, nothing changed on disk. The
// message (UTF-8, one line) names the value and what is accepted.
class TUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TCommandEntry;

// The mission parameters given with `new`; an empty optional was left out.
struct TParamArgs {
    std::optional<std::string> Map;     // Windows-1251
    std::optional<std::string> Target;  // Windows-1251
    std::optional<int> Moving;
    std::optional<int> Mode;
    std::optional<int> Difficulty;
    std::optional<std::string> Aircraft;  // Windows-1251
    std::optional<int> Army;
    std::optional<int> Flight;
    std::optional<int> Height;
    std::optional<std::string> Clouds;  // one of CloudNames
    std::optional<int> Time;
    std::optional<int> Weather;
    std::optional<int> Tanks;
    // --tanks given as a name from a tank list (Windows-1251) instead of a
    // number; which side's list it must come from depends on the target.
    std::optional<std::string> TanksName;
    std::optional<int> RandomRoute;
    std::optional<int> Fighters;
    // --comment split into lines, each Windows-1251.
    std::optional<std::vector<std::string>> Comment;
};

struct TArgs {
    // The command asked for (see command.h) and its options as parsed.
    const TCommandEntry* Command = nullptr;
    std::optional<std::filesystem::path> Root;
    std::optional<std::filesystem::path> Data;
    std::optional<std::uint64_t> Seed;
    bool Json = false;
    TParamArgs Params;
    // FILE of show, copy, regenerate, history; FILE... of delete. Windows-1251.
    std::vector<std::string> Files;
    // new --random: draw what was not given; --count: how many missions.
    bool Random = false;
    int Count = 1;
    // regenerate --variant: the journal's variant to write again (1 = oldest).
    std::optional<int> Variant;
    // show --svg: where to write the route drawing.
    std::optional<std::filesystem::path> Svg;
    // show/new --card: where to write the kneeboard card(s); --page a4 for A4.
    std::optional<std::filesystem::path> Card;
    bool CardA4 = false;
    // new --template: the template's name (UTF-8).
    std::optional<std::string> Template;
    // template list|show|save|delete, its NAME (UTF-8; save: --name) and
    // save's mission FILE in Files.
    std::string TemplateAction;
    std::string TemplateName;
    // logbook: "" (the list), "import" or "mark", with its LOG or FLIGHT;
    // programme: start, status, hold, next, back or stop, with start's FILE.
    std::string Action;
    std::string ActionArg;              // UTF-8
    std::optional<std::string> Result;  // logbook mark --result: yes, partly, no, unknown
    std::string Note;                   // --note, Windows-1251
    bool Csv = false;
    // Set when --help was asked: print it and end with 0.
    std::optional<std::string> HelpText;
};

// Parses argv (UTF-8, without the program name). Throws TUsageError.
TArgs ParseArgs(const std::vector<std::string>& args);

// Strict whole-text numbers: no blanks, no trailing characters. nullopt when
// the text is not one, or outside [lo, hi].
std::optional<int> ParseInt(std::string_view text, int lo, int hi);
std::optional<std::uint64_t> ParseUnsigned64(std::string_view text);

// --comment text into lines: a real line break (CR LF, LF or CR) or the two
// characters backslash and n separate them.
std::vector<std::string> SplitCommentLines(std::string_view text);

// Text fit for a one-line message: invalid UTF-8 and control characters are
// shown as \xNN, so no argument can break the line or the terminal.
std::string Printable(std::string_view utf8);

}  // namespace zelk::cli
