// `doctor`: the set-up check of the core, printed for a person or as JSON.
#include <optional>

#include "command.h"

#ifndef ZELK_CLI_SYNTAX_ONLY
#include "cli_app.h"
#include "cli_output.h"
#include "text/tr.h"
#include "doctor/doctor.h"
#include "monitor/journalplace.h"
#include "doctor/setup.h"
#endif

namespace zelk::cli {

namespace {

#ifndef ZELK_CLI_SYNTAX_ONLY

int Run(TContext& ctx) {
    TSetupPlaces places;
    places.Root = ctx.Root;
    places.DataDir = ctx.DataDir;
    // The journal the window and the other commands keep; a check writes
    // nothing, so it is looked for rather than probed for.
    places.JournalFile = ExistingJournalFileFor(ctx.DataDir);
    const TDoctorInput input = ReadSimulatorSetup(places).Check;

    std::optional<TSourceTexts> sourceTexts;
    if (ctx.Args.Json) sourceTexts.emplace();  // JSON is the same in every language
    const std::vector<TDoctorItem> items = RunDoctor(input);
    const bool passed = DoctorPassed(items);
    if (ctx.Args.Json) {
        nlohmann::ordered_json list = nlohmann::ordered_json::array();
        for (const auto& item : items) {
            list.push_back({{"area", DoctorAreaKey(item.Area)},
                            {"status", DoctorStatusKey(item.Status)},
                            {"what", item.What},
                            {"fix", item.Fix}});
        }
        PrintJson(*ctx.Out, {{"ok", passed}, {"items", std::move(list)}});
    } else {
        *ctx.Out << DoctorReportText(items);
    }
    return passed ? 0 : 1;
}

#endif

}  // namespace

ZELK_CLI_COMMAND(doctor,
                 ZELK_TR_NOOP("cli",
                              "проверка установки: что не так и как исправить (код 0, когда всё нужное в порядке)"),
                 TNoOptions, Run)

}  // namespace zelk::cli
