// `programme`: the training programme: start, status, hold, next, back, stop.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <iterator>

#include "command.h"

#ifndef ZELK_CLI_SYNTAX_ONLY
#include "cli_library.h"
#include "cli_logbook.h"
#include "files/paths.h"
#include "monitor/journalplace.h"
#include "programmefile.h"
#endif

namespace zelk::cli {

namespace {

class TSyntax final : public TCommandSyntax {
public:
    void Define(CLI::App& sub) override {
        sub.add_option("ACTION", action_, Tr("cli", "start, status, hold, next, back или stop"))->required();
        sub.add_option("FILE", arg_, Tr("cli", "файл программы (TOML) для start"));
    }
    void Check(TArgs& args) override {
        args.Action = action_;
        args.ActionArg = arg_;
        static const char* const kActions[] = {"start", "status", "hold", "next", "back", "stop"};
        if (std::find(std::begin(kActions), std::end(kActions), action_) == std::end(kActions))
            throw TUsageError(Fill(
                Tr("cli", "неизвестное действие programme %1; допустимо: start FILE, status, hold, next, back, stop"),
                {Quoted(action_)}));
        if (action_ == "start" && arg_.empty())
            throw TUsageError(Tr("cli", "команде programme start нужен файл программы"));
        if (action_ != "start" && !arg_.empty())
            throw TUsageError(Fill(Tr("cli", "лишний аргумент %1 для команды programme %2"), {Quoted(arg_), action_}));
    }
    std::string MissingArgument(const std::string&) const override {
        return Tr("cli", "команде programme нужно действие: start FILE, status, hold, next, back или stop");
    }

private:
    std::string action_, arg_;
};

#ifndef ZELK_CLI_SYNTAX_ONLY

namespace fs = std::filesystem;

int Run(TContext& ctx) {
    const TLogbook logbook = OpenLogbook(ctx);
    const fs::path stateFile = StateFileOf(logbook);
    const std::vector<TFlight> flights = logbook.Flights();
    TProgrammeState state = ReadProgrammeState(stateFile);
    const std::string& action = ctx.Args.Action;
    int newest = 0;
    for (const TFlight& f : flights) newest = std::max(newest, f.Id);
    if (action == "status") {
        PrintStatus(ctx, state, flights);
        return 0;
    }
    if (action == "start") {
        const fs::path file = fs::absolute(PathFromUtf8(ctx.Args.ActionArg));
        const TProgramme programme = ReadProgrammeFile(file);
        // The programme gets a mission of its own, written for its first step.
        TRefData ref = LoadData(ctx);
        TMissionLibrary library;
        if (!library.Load(ctx.MissionFolder, ref.Targets))
            throw TCliFailure(
                Fill(Tr("cli", "папку заданий %1 не удалось прочитать"), {PathToUtf8(ctx.MissionFolder)}));
        const int index = library.NewMission(DefaultsFromRefData(ref));
        if (index < 0) throw TCliFailure(U(NumberLimitText()));
        state = TProgrammeState{};
        state.On = true;
        state.File = file;
        state.Name = programme.Name;
        state.Steps = static_cast<int>(programme.Steps.size());
        state.AdvanceAfter = programme.AdvanceAfter;
        state.Since = newest;
        const std::uint64_t seed = SeedOf(ctx);
        for (const std::string& line : ApplyProgrammeStep(library.At(index), programme, 1, ref, seed)) Warn(ctx, line);
        const std::optional<TJournal> journal = JournalFor(ctx.DataDir);
        library.Journal = Writable(journal);
        const int saved = SaveListedAfresh(ctx, library, library.At(index).FileName, ref, seed);
        state.Mission = library.At(saved).FileName;
        WriteProgrammeState(stateFile, state);
        if (!ctx.Args.Json)
            *ctx.Out << Fill(Tr("cli", "Задание программы: %1"), {U(state.Mission)}) << "  "
                     << U(library.At(saved).Name) << '\n';
        PrintStatus(ctx, state, flights);
        return 0;
    }
    if (!state.On) throw TCliFailure(Tr("cli", "программа подготовки не начата: zelk-cli programme start FILE"));
    if (action == "stop") {
        state.On = false;
        WriteProgrammeState(stateFile, state);
        *ctx.Out << Fill(Tr("cli", "Программа «%1» остановлена на шаге %2 из %3"),
                         {state.Name, std::to_string(state.Step), std::to_string(state.Steps)})
                 << '\n';
        return 0;
    }
    if (action == "hold") {
        // Hold again releases the step.
        state.Held = !state.Held;
        WriteProgrammeState(stateFile, state);
        PrintStatus(ctx, state, flights);
        return 0;
    }
    if (!MoveStep(state, action == "next" ? 1 : -1, flights))
        throw TCliFailure(Fill(Tr("cli", "шага %1 в программе нет: сейчас шаг %2 из %3"),
                               {std::to_string(state.Step + (action == "next" ? 1 : -1)), std::to_string(state.Step),
                                std::to_string(state.Steps)}));
    WriteProgrammeState(stateFile, state);
    WriteProgrammeMission(ctx, state);
    PrintStatus(ctx, state, flights);
    return 0;
}

#endif

}  // namespace

ZELK_CLI_COMMAND(programme, ZELK_TR_NOOP("cli", "программа подготовки: start FILE, status, hold, next, back, stop"),
                 TSyntax, Run)

}  // namespace zelk::cli
