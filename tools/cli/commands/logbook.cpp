// `logbook`: the flights recorded from the event log and their totals, the
// import of a kept log, and the pilot's debrief of one flight.
#include <CLI/CLI.hpp>

#include "command.h"
#include "mission/check.h"

#ifndef ZELK_CLI_SYNTAX_ONLY
#include <algorithm>
#include <ctime>

#include "cli_logbook.h"
#include "files/paths.h"
#include "programmefile.h"
#endif

namespace zelk::cli {

namespace {

class TSyntax final : public TCommandSyntax {
public:
    void Define(CLI::App& sub) override {
        sub.add_option("ACTION", action_, Tr("cli", "import или mark"));
        sub.add_option("ARG", arg_, Tr("cli", "журнал событий для import, номер полёта для mark"));
        sub.add_option("--result", result_, Tr("cli", "цель поражена: yes, partly, no или unknown"));
        sub.add_option("--note", note_, Tr("cli", "заметка пилота о полёте"));
        sub.add_flag("--csv", csv_, Tr("cli", "вывод полётов в формате CSV"));
    }
    void Check(TArgs& args) override;

private:
    std::string action_, arg_;
    std::optional<std::string> result_, note_;
    bool csv_ = false;
};

void TSyntax::Check(TArgs& args) {
    args.Action = action_;
    args.ActionArg = arg_;
    args.Csv = csv_;
    if (!action_.empty() && action_ != "import" && action_ != "mark")
        throw TUsageError(
            Fill(Tr("cli", "неизвестное действие logbook %1; допустимо: import LOG, mark FLIGHT"), {Quoted(action_)}));
    if (!action_.empty() && arg_.empty())
        throw TUsageError(action_ == "import" ? Tr("cli", "команде logbook import нужен файл журнала событий")
                                              : Tr("cli", "команде logbook mark нужен номер полёта"));
    if (action_.empty() && !arg_.empty())
        throw TUsageError(Fill(Tr("cli", "лишний аргумент %1 для команды logbook"), {Quoted(arg_)}));
    if ((result_ || note_) && action_ != "mark")
        throw TUsageError(Tr("cli", "--result и --note относятся к logbook mark"));
    if (action_ != "mark") return;
    if (!result_) throw TUsageError(Tr("cli", "команде logbook mark нужен --result: yes, partly, no или unknown"));
    if (*result_ != "yes" && *result_ != "partly" && *result_ != "no" && *result_ != "unknown")
        throw TUsageError(Fill(Tr("cli", "недопустимое значение --result %1: допустимо yes, partly, no или unknown"),
                               {Quoted(*result_)}));
    args.Result = result_;
    if (note_) {
        if (HasControlCharacter(*note_))
            throw TUsageError(
                Fill(Tr("cli", "недопустимое значение --note %1: допустим текст без управляющих символов"),
                     {Quoted(*note_)}));
        args.Note = ToCp1251("--note", *note_);
    }
}

#ifndef ZELK_CLI_SYNTAX_ONLY

namespace fs = std::filesystem;

int Run(TContext& ctx) {
    const TLogbook logbook = OpenLogbook(ctx);
    if (ctx.Args.Action == "import") {
        const fs::path log = PathFromUtf8(ctx.Args.ActionArg);
        std::error_code ec;
        if (!fs::is_regular_file(log, ec))
            throw TUsageError(Fill(Tr("cli", "недопустимое значение LOG \"%1\": допустим файл журнала событий"),
                                   {Printable(ctx.Args.ActionArg)}));
        const TImportOutcome done = ImportEventLog(logbook, log);
        *ctx.Out << Fill(Tr("cli", "Записано полётов: %1, дополнено: %2, уже были в книжке: %3"),
                         {std::to_string(done.Added), std::to_string(done.Completed), std::to_string(done.Known)})
                 << '\n';
        return 0;
    }
    if (ctx.Args.Action == "mark") {
        const auto id = ParseInt(ctx.Args.ActionArg, 1, 1000000000);
        const std::vector<TFlight> flights = logbook.Flights();
        const auto it =
            std::find_if(flights.begin(), flights.end(), [&](const TFlight& f) { return id && f.Id == *id; });
        if (it == flights.end())
            throw TUsageError(Fill(Tr("cli", "нет полёта %1 в лётной книжке %2; номера полётов показывает logbook"),
                                   {"\"" + Printable(ctx.Args.ActionArg) + "\"", PathToUtf8(logbook.File())}));
        logbook.Mark(it->Id, *ResultFromKey(*ctx.Args.Result), ctx.Args.Note, std::time(nullptr));
        *ctx.Out << Fill(Tr("cli", "Полёт %1 отмечен: %2"),
                         {std::to_string(it->Id), ResultText(*ResultFromKey(*ctx.Args.Result))})
                 << '\n';
        // A mark that completes the step moves the programme on at once: the
        // next flight is then the next step's.
        TProgrammeState state = ReadProgrammeState(StateFileOf(logbook));
        const std::vector<TFlight> now = logbook.Flights();
        if (AdvanceIfDue(state, now)) {
            try {
                WriteProgrammeState(StateFileOf(logbook), state);
                WriteProgrammeMission(ctx, state);
            } catch (const std::exception& e) {
                Warn(ctx, Fill(Tr("cli", "программа не перешла к следующему шагу: %1"), {e.what()}));
                return 0;
            }
        }
        if (state.On) *ctx.Out << ProgrammeLine(state, now, ProgrammeStepName(state)) << '\n';
        return 0;
    }
    PrintFlights(ctx, logbook.Flights());
    return 0;
}

#endif

}  // namespace

ZELK_CLI_COMMAND(logbook,
                 ZELK_TR_NOOP("cli",
                              "лётная книжка: полёты и итоги; import LOG, mark FLIGHT --result ... [--note ...]"),
                 TSyntax, Run)

}  // namespace zelk::cli
