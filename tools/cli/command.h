#pragma once
// One zelk-cli command: its name, its help, its options with their checks,
// and its run. Each command is one file of commands/ that defines a
// TCommandEntry; the build lists the files, and the parser, the help and the
// dispatch take every command from that list, never by its name.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli_args.h"
#include "mission/params.h"
#include "text/tr.h"

namespace CLI {
class App;
}

namespace zelk::cli {

struct TContext;

// A command's options as the parser fills them, one object per command line.
class TCommandSyntax {
public:
    virtual ~TCommandSyntax() = default;
    // Adds the command's arguments and options to `sub`, in the order its
    // help lists them.
    virtual void Define(CLI::App& sub) = 0;
    // After parsing: the values given, checked for form and range, into
    // `args`. Throws TUsageError.
    virtual void Check(TArgs& args) = 0;
    // The message when an argument the command requires is missing.
    virtual std::string MissingArgument(const std::string& name) const;
};

struct TCommandEntry {
    const char* Name;
    const char* Help;  // Russian, marked with ZELK_TR_NOOP("cli", ...)
    std::unique_ptr<TCommandSyntax> (*MakeSyntax)();
    // Loads what it needs and does the work; the exit code, or a throw of
    // TUsageError (2) or anything else (1). Null in a build of the parser
    // alone.
    int (*Run)(TContext& ctx);
};

// A command without options of its own.
class TNoOptions final : public TCommandSyntax {
public:
    void Define(CLI::App&) override {}
    void Check(TArgs&) override {}
};

template <class TSyntax>
std::unique_ptr<TCommandSyntax> MakeSyntax() {
    return std::make_unique<TSyntax>();
}

// Every command, in the order the help lists them (generated from the build's
// list of commands).
const std::vector<const TCommandEntry*>& Commands();

// The parser alone (the fuzz build) compiles every command file without the
// runs and what they need.
#ifdef ZELK_CLI_SYNTAX_ONLY
#define ZELK_CLI_RUN(function) nullptr
#else
#define ZELK_CLI_RUN(function) &function
#endif

// Defines Command_NAME(), the entry of commands/NAME.cpp in the build's list:
// its name, its help (Russian, marked with ZELK_TR_NOOP("cli", ...)), its
// syntax class and its run function.
#define ZELK_CLI_COMMAND(name, help, Syntax, run)                                              \
    const TCommandEntry& Command_##name() {                                                    \
        static const TCommandEntry entry{#name, help, &MakeSyntax<Syntax>, ZELK_CLI_RUN(run)}; \
        return entry;                                                                          \
    }

// ---- pieces shared by several commands' syntax ----

// "\"text\"" with every byte printable.
std::string Quoted(std::string_view utf8);

// A text value into Windows-1251, or a rejection naming the option.
std::string ToCp1251(const char* option, const std::string& utf8);

// "0 или 1" for two values, "целое от LO до HI" otherwise.
std::string RangeText(TParamRange range);

// FILE: one mission file, required.
void AddMissionFile(CLI::App& sub, std::string& file);

// A command whose only argument is one mission file.
class TOneMissionFile final : public TCommandSyntax {
public:
    void Define(CLI::App& sub) override { AddMissionFile(sub, file_); }
    void Check(TArgs& args) override { args.Files = {ToCp1251("FILE", file_)}; }

private:
    std::string file_;
};

// --card and --page, checked into TArgs::Card and TArgs::CardA4.
struct TCardOptions {
    std::optional<std::string> Card, Page;
    void Define(CLI::App& sub);
    void Check(TArgs& args) const;
};

}  // namespace zelk::cli
