// What `logbook`, `programme` and `watch` share: the logbook opened, its
// flights printed, the programme's state and mission.
#include <cmath>
#include <ctime>
#include <iomanip>
#include <sstream>

#include "cli_library.h"
#include "cli_logbook.h"
#include "cli_output.h"
#include "data/catalogues.h"
#include "data/codepage.h"
#include "files/error.h"
#include "logbook/logbook.h"
#include "monitor/journalplace.h"
#include "programmefile.h"
#include "text/tr.h"

namespace zelk::cli {

namespace fs = std::filesystem;

namespace {

nlohmann::ordered_json TimeOrNull(std::int64_t seconds) {
    if (seconds < 0) return nullptr;
    return LocalTimeText(seconds, "%Y-%m-%dT%H:%M:%S");
}

nlohmann::ordered_json FlightJson(const TFlight& f) {
    nlohmann::ordered_json j;
    j["id"] = f.Id;
    j["mission"] = U(f.Mission);
    if (f.Variant) {
        TMission shown;
        shown.Data = f.Variant->Data;
        nlohmann::ordered_json v;
        v["seed"] = f.Variant->Seed;
        v["time"] = TimeOrNull(f.Variant->Time);
        v["params"] = MissionJson(shown)["params"];
        j["variant"] = std::move(v);
    } else {
        j["variant"] = nullptr;
    }
    j["started"] = TimeOrNull(f.Started);
    j["ended"] = TimeOrNull(f.Ended);
    j["seconds"] = f.Seconds < 0 ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(f.Seconds);
    j["unfinished"] = f.Unfinished;
    j["result"] =
        f.Result == TFlightResult::None ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(ResultKey(f.Result));
    j["note"] = U(f.Note);
    return j;
}

nlohmann::ordered_json TotalsJson(const TTotals& t) {
    nlohmann::ordered_json j;
    j["flights"] = t.Flights;
    j["seconds"] = t.Seconds;
    j["marked"] = t.Marked;
    j["yes"] = t.Yes;
    j["partly"] = t.Partly;
    j["no"] = t.No;
    const double share = t.HitShare();
    j["hit_share"] = share < 0 ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(share);
    return j;
}

const char* ByKey(TTotalsBy by) {
    switch (by) {
        case TTotalsBy::Target:
            return "target";
        case TTotalsBy::Mode:
            return "mode";
        case TTotalsBy::Difficulty:
            return "difficulty";
        case TTotalsBy::Aircraft:
            return "aircraft";
        case TTotalsBy::TimeOfDay:
            return "time_of_day";
        case TTotalsBy::Weather:
            return "weather";
    }
    return "";
}

}  // namespace

std::string ResultText(TFlightResult r) {
    switch (r) {
        case TFlightResult::Yes:
            return Tr("logbook", "да");
        case TFlightResult::Partly:
            return Tr("logbook", "частично");
        case TFlightResult::No:
            return Tr("logbook", "нет");
        case TFlightResult::Unknown:
            return Tr("logbook", "не знаю");
        case TFlightResult::None:
            break;
    }
    return Tr("logbook", "без отметки");
}

namespace {

std::string Minutes(std::int64_t seconds) {
    if (seconds < 0) return "?";
    return Fill(Tr("cli", "%1 мин"), {std::to_string((seconds + 30) / 60)});
}

std::string Csv(const std::string& utf8) {
    if (utf8.find_first_of(",\"\r\n") == std::string::npos) return utf8;
    std::string out = "\"";
    for (char c : utf8) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

std::string TotalsText(const TTotals& t) {
    std::string text = Fill(Tr("cli", "полётов %1, налёт %2, отмечено %3"),
                            {std::to_string(t.Flights), Minutes(t.Seconds), std::to_string(t.Marked)});
    if (t.HitShare() >= 0)
        text += Fill(Tr("cli", ", цель поражена в %1%"), {std::to_string(std::lround(t.HitShare() * 100))});
    return text;
}

}  // namespace

TLogbook OpenLogbook(const TContext& ctx) {
    const fs::path file = LogbookFileFor(ctx.DataDir);
    if (file.empty())
        throw TCliFailure(
            Fill(Tr("cli", "лётную книжку негде вести: папка %1 закрыта для записи"), {PathToUtf8(ctx.DataDir)}));
    return TLogbook(file);
}

void PrintFlights(TContext& ctx, const std::vector<TFlight>& flights) {
    std::ostream& out = *ctx.Out;
    if (ctx.Args.Csv) {
        out << "id,mission,started,ended,seconds,unfinished,result,note,seed,map,target,moving,mode,difficulty,"
               "aircraft,time,weather,clouds,fighters\r\n";
        for (auto it = flights.rbegin(); it != flights.rend(); ++it) {
            const TFlight& f = *it;
            auto time = [](std::int64_t s) { return s < 0 ? std::string() : LocalTimeText(s, "%Y-%m-%dT%H:%M:%S"); };
            out << f.Id << ',' << Csv(U(f.Mission)) << ',' << time(f.Started) << ',' << time(f.Ended) << ','
                << (f.Seconds < 0 ? std::string() : std::to_string(f.Seconds)) << ',' << (f.Unfinished ? 1 : 0) << ','
                << ResultKey(f.Result) << ',' << Csv(U(f.Note)) << ',';
            if (f.Variant) {
                const TMissionData& d = f.Variant->Data;
                out << f.Variant->Seed << ',' << Csv(U(d.Map)) << ',' << Csv(U(d.Target)) << ',' << int(d.Moving) << ','
                    << int(d.Mode) << ',' << int(d.Difficulty) << ',' << Csv(U(d.Aircraft)) << ',' << d.Time << ','
                    << d.Weather << ',' << Csv(U(d.Clouds)) << ',' << d.Fighters;
            } else {
                out << ",,,,,,,,,,";
            }
            out << "\r\n";
        }
        return;
    }
    if (ctx.Args.Json) {
        // Labels in JSON stay the same whatever the language.
        const TSourceTexts sourceTexts;
        nlohmann::ordered_json j;
        j["flights"] = nlohmann::ordered_json::array();
        for (auto it = flights.rbegin(); it != flights.rend(); ++it) j["flights"].push_back(FlightJson(*it));
        nlohmann::ordered_json totals;
        totals["all"] = TotalsJson(TotalOf(flights));
        for (const TTotalsRow& row : TotalsBy(flights)) {
            nlohmann::ordered_json item = TotalsJson(row.Totals);
            item["label"] = row.Label;
            totals[ByKey(row.By)].push_back(std::move(item));
        }
        totals["weeks"] = nlohmann::ordered_json::array();
        for (const TTotals& week : WeeklyTrend(flights, std::time(nullptr), 8))
            totals["weeks"].push_back(TotalsJson(week));
        j["totals"] = std::move(totals);
        PrintJson(out, j);
        return;
    }
    if (flights.empty()) {
        out << Tr("cli", "В лётной книжке полётов нет") << '\n';
        return;
    }
    for (auto it = flights.rbegin(); it != flights.rend(); ++it) {
        const TFlight& f = *it;
        out << '#' << f.Id << "  "
            << (f.Started < 0 ? std::string("----------------") : LocalTimeText(f.Started, "%Y-%m-%d %H:%M")) << "  "
            << U(f.Mission) << "  "
            << (f.Unfinished ? Tr("cli", "не закончен")
                : f.EndSeen  ? Minutes(f.Seconds)
                             : Tr("cli", "в полёте"))
            << "  " << ResultText(f.Result);
        if (f.Variant)
            out << "  " << ShownName(ModeNames.at(f.Variant->Data.Mode % 4)) << " - " << U(f.Variant->Data.Target);
        if (!f.Note.empty()) out << "  \"" << Printable(U(f.Note)) << '"';
        out << '\n';
    }
    out << '\n' << Tr("cli", "Всего: ") << TotalsText(TotalOf(flights)) << '\n';
    for (const TTotalsRow& row : TotalsBy(flights))
        out << TotalsByName(row.By) << ": " << row.Label << " - " << TotalsText(row.Totals) << '\n';
}

fs::path StateFileOf(const TLogbook& logbook) { return logbook.File().parent_path() / kProgrammeStateFileName; }

void Warn(const TContext& ctx, const std::string& text) {
    *ctx.Err << Fill(Tr("cli", "zelk-cli: предупреждение: %1"), {text}) << '\n';
    ctx.Err->flush();
}

// Writes the programme's mission for the step in force; the mission is
// printed. Throws what the save throws.
void WriteProgrammeMission(TContext& ctx, const TProgrammeState& state) {
    TRefData ref = LoadData(ctx);
    TMissionLibrary library;
    if (!library.Load(ctx.MissionFolder, ref.Targets))
        throw TCliFailure(Fill(Tr("cli", "папку заданий %1 не удалось прочитать"), {PathToUtf8(ctx.MissionFolder)}));
    const int index = library.FindByFileName(state.Mission);
    if (index < 0)
        throw TCliFailure(
            Fill(Tr("cli", "задания программы %1 нет в папке %2"), {U(state.Mission), PathToUtf8(ctx.MissionFolder)}));
    const std::optional<TJournal> journal = JournalFor(ctx.DataDir);
    library.Journal = Writable(journal);
    const std::uint64_t seed = SeedOf(ctx);
    PrepareProgrammeMission(library.At(index), ref, state, seed);
    SaveListedAfresh(ctx, library, state.Mission, ref, seed);
    *ctx.Out << Fill(Tr("cli", "Записано заново: %1"), {U(state.Mission)}) << "  " << U(library.At(index).Name) << '\n';
}

void PrintStatus(TContext& ctx, const TProgrammeState& state, const std::vector<TFlight>& flights) {
    if (ctx.Args.Json) {
        const TSourceTexts sourceTexts;
        nlohmann::ordered_json j;
        j["programme"] = state.On ? nlohmann::ordered_json(state.Name) : nlohmann::ordered_json(nullptr);
        j["step"] = state.On ? state.Step : 0;
        j["steps"] = state.On ? state.Steps : 0;
        j["held"] = state.On && state.Held;
        j["why"] = state.On ? JudgeStep(state, flights).Why : std::string();
        j["step_name"] = ProgrammeStepName(state);
        j["mission"] = state.On ? nlohmann::ordered_json(U(state.Mission)) : nlohmann::ordered_json(nullptr);
        j["file"] = state.On ? nlohmann::ordered_json(PathToUtf8(state.File)) : nlohmann::ordered_json(nullptr);
        PrintJson(*ctx.Out, j);
    } else {
        *ctx.Out << ProgrammeLine(state, flights, ProgrammeStepName(state)) << '\n';
    }
}

// With a programme on, the flown mission is its mission: moved on when the
// rule says so, and given the step's conditions before it is written anew.
// A programme that fails only warns: the mission is written all the same.
void ApplyProgrammeBeforeSave(TContext& ctx, const TRefData& ref, TMissionLibrary& library,
                              const std::string& fileName) {
    try {
        const fs::path logbookFile = LogbookFileFor(ctx.DataDir);
        if (logbookFile.empty()) return;
        const TLogbook logbook(logbookFile);
        TProgrammeState state = ReadProgrammeState(StateFileOf(logbook));
        if (!state.On || state.Mission != fileName) return;
        if (AdvanceIfDue(state, logbook.Flights())) WriteProgrammeState(StateFileOf(logbook), state);
        const int index = library.FindByFileName(fileName);
        if (index >= 0) PrepareProgrammeMission(library.At(index), ref, state, SeedOf(ctx));
    } catch (const std::exception& e) {
        Warn(ctx, Fill(Tr("cli", "программа подготовки: %1; задание записано без неё"), {e.what()}));
    }
}

}  // namespace zelk::cli
