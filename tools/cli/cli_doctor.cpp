// `doctor`: the set-up check of the core, printed for a person or as JSON.
#include <optional>

#include "cli_app.h"
#include "cli_output.h"
#include "text/tr.h"
#include "doctor/doctor.h"
#include "library/journal.h"
#include "monitor/simconfig.h"

namespace zelk::cli {

int RunDoctorCommand(TContext& ctx) {
    TDoctorInput input;
    input.DataDir = ctx.DataDir;
    input.Root = ctx.Root;
    input.MissionFolder = ctx.MissionFolder;
    input.SimulatorExe = ctx.Root / "orvaksim.exe";
    const TSimulatorConfig config = ReadSimulatorConfig(ctx.Root);
    input.EventLogName = config.EventLogName;
    input.KeepEventLog = config.KeepEventLog;
    // The journal beside the data, if any: the check only reads.
    if (std::error_code ec; std::filesystem::is_regular_file(ctx.DataDir / kJournalFileName, ec))
        input.JournalFile = ctx.DataDir / kJournalFileName;

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

}  // namespace zelk::cli
