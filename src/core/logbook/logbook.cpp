#include "logbook/logbook.h"

#include <algorithm>
#include <charconv>
#include <map>

#include "data/catalogues.h"
#include "data/codepage.h"
#include "eventlog/logexaminer.h"
#include "files/error.h"
#include "files/paths.h"
#include "files/safelines.h"
#include "text/tr.h"

namespace zelk {

namespace {

constexpr std::string_view kStartTag = "F1";
constexpr std::string_view kEndTag = "E1";
constexpr std::string_view kMarkTag = "M1";
// A kept log is read whole; one larger than this is not the simulator's.
constexpr std::uintmax_t kMaxLogSize = std::uintmax_t{512} << 20;

template <typename T>
bool Number(std::string_view text, T& out) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

void Append(const TLogbook& book, std::string_view tag, const std::vector<std::string>& fields) {
    AppendSafeLine(book.File(), SealLine(tag, fields), Tr("logbook", "не удалось открыть лётную книжку для записи"),
                   Tr("logbook", "запись в лётную книжку не удалась"));
}

// "[HH:MM:SS]" at the start of a line as seconds of the day, or -1.
int ClockOf(std::string_view line) {
    if (line.size() < 10 || line[0] != '[' || line[3] != ':' || line[6] != ':' || line[9] != ']') return -1;
    int h = 0, m = 0, s = 0;
    if (!Number(line.substr(1, 2), h) || !Number(line.substr(4, 2), m) || !Number(line.substr(7, 2), s) || h > 23 ||
        m > 59 || s > 59)
        return -1;
    return h * 3600 + m * 60 + s;
}

}  // namespace

std::string ResultKey(TFlightResult result) {
    switch (result) {
        case TFlightResult::Yes:
            return "yes";
        case TFlightResult::Partly:
            return "partly";
        case TFlightResult::No:
            return "no";
        case TFlightResult::Unknown:
            return "unknown";
        case TFlightResult::None:
            break;
    }
    return {};
}

std::optional<TFlightResult> ResultFromKey(std::string_view key) {
    for (auto r : {TFlightResult::Yes, TFlightResult::Partly, TFlightResult::No, TFlightResult::Unknown})
        if (ResultKey(r) == key) return r;
    return std::nullopt;
}

std::string FlightKey(std::string_view startLine, std::int64_t offset) {
    return HexDigits(Fnv1a(startLine), 16) + ":" + std::to_string(offset);
}

std::int64_t ClockSpan(std::string_view startLine, std::string_view endLine) {
    const int a = ClockOf(startLine), b = ClockOf(endLine);
    if (a < 0 || b < 0) return -1;
    return b >= a ? b - a : b + 86400 - a;
}

std::vector<TFlight> TLogbook::Flights() const {
    std::vector<TFlight> flights;
    std::map<int, std::size_t> byId;
    auto find = [&](std::string_view idText) -> TFlight* {
        int id = 0;
        if (!Number(idText, id)) return nullptr;
        const auto it = byId.find(id);
        return it == byId.end() ? nullptr : &flights[it->second];
    };
    ForEachSafeLine(file_, [&](std::string_view line) {
        if (auto f = OpenSealedLine(line, kStartTag); f && f->size() == 6) {
            TFlight flight;
            auto mission = UnescapeField((*f)[1]), key = UnescapeField((*f)[3]), variant = UnescapeField((*f)[5]);
            if (!Number((*f)[0], flight.Id) || flight.Id <= 0 || byId.count(flight.Id) != 0 ||
                !Number((*f)[2], flight.Started) || !mission || !key || !variant)
                return;
            flight.Mission = *mission;
            flight.Key = *key;
            flight.Imported = (*f)[4] == "1";
            if (!variant->empty()) flight.Variant = ParseVariant(*variant);
            byId[flight.Id] = flights.size();
            flights.push_back(std::move(flight));
        } else if (auto e = OpenSealedLine(line, kEndTag); e && e->size() == 3) {
            TFlight* flight = find((*e)[0]);
            std::int64_t ended = 0, seconds = 0;
            if (flight == nullptr || !Number((*e)[1], ended) || !Number((*e)[2], seconds)) return;
            flight->EndSeen = true;
            flight->Ended = ended;
            flight->Seconds = seconds;
        } else if (auto m = OpenSealedLine(line, kMarkTag); m && m->size() == 4) {
            TFlight* flight = find((*m)[0]);
            const auto result = ResultFromKey((*m)[1]);
            auto note = UnescapeField((*m)[2]);
            if (flight == nullptr || !result || !note) return;
            // The newest mark is the pilot's word.
            flight->Result = *result;
            flight->Note = *note;
        }
    });
    std::sort(flights.begin(), flights.end(), [](const TFlight& a, const TFlight& b) { return a.Id < b.Id; });
    for (std::size_t i = 0; i + 1 < flights.size(); ++i) flights[i].Unfinished = !flights[i].EndSeen;
    return flights;
}

int TLogbook::RecordStart(const std::string& mission, std::int64_t started, const std::string& key,
                          const std::optional<TVariant>& variant, bool imported) const {
    int id = 0;
    for (const TFlight& f : Flights()) id = std::max(id, f.Id);
    ++id;
    Append(*this, kStartTag,
           {std::to_string(id), EscapeField(mission), std::to_string(started), EscapeField(key), imported ? "1" : "0",
            variant ? EscapeField(FormatVariant(*variant)) : std::string()});
    return id;
}

void TLogbook::RecordEnd(int id, std::int64_t ended, std::int64_t seconds) const {
    Append(*this, kEndTag, {std::to_string(id), std::to_string(ended), std::to_string(seconds)});
}

void TLogbook::Mark(int id, TFlightResult result, const std::string& note, std::int64_t when) const {
    Append(*this, kMarkTag, {std::to_string(id), ResultKey(result), EscapeField(note), std::to_string(when)});
}

int MissionNumberOf(const std::string& fileName) {
    int number = 0;
    if (fileName.size() < 8 || fileName.compare(0, 4, "zelk") != 0 || !Number(fileName.substr(4, 4), number)) return 0;
    return number;
}

std::optional<TVariant> VariantInForce(const TJournal* journal, const std::string& fileName, std::int64_t when) {
    const int number = MissionNumberOf(fileName);
    if (journal == nullptr || number == 0) return std::nullopt;
    std::optional<TVariant> found;
    for (TVariant& v : journal->Variants(number))
        if (v.Time <= when) found = std::move(v);
    return found;
}

TImportOutcome ImportEventLog(const TLogbook& logbook, const std::filesystem::path& log) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(log, ec))
        throw TFileError(log, TFileError::kNoPosition, Tr("logbook", "это не файл журнала событий"));
    const auto size = std::filesystem::file_size(log, ec);
    if (ec || size > kMaxLogSize)
        throw TFileError(log, TFileError::kNoPosition, Tr("logbook", "журнал событий слишком велик или недоступен"));
    std::FILE* f = OpenFile(log, "rb");
    if (f == nullptr)
        throw TFileError(log, TFileError::kNoPosition, Tr("logbook", "не удаётся открыть журнал событий"));
    std::string text(static_cast<std::size_t>(size), '\0');
    const std::size_t got = std::fread(text.data(), 1, text.size(), f);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) throw TFileError(log, TFileError::kNoPosition, Tr("logbook", "ошибка чтения журнала событий"));
    text.resize(got);

    std::map<std::string, const TFlight*> known;
    const std::vector<TFlight> flights = logbook.Flights();
    for (const TFlight& flight : flights) known[flight.Key] = &flight;

    TImportOutcome outcome;
    struct TOpen {
        std::string Mission, Key;
        std::string_view Line;
    };
    std::optional<TOpen> open;
    auto record = [&](const TOpen& start, std::optional<std::string_view> endLine) {
        const auto it = known.find(start.Key);
        if (it == known.end()) {
            const int id = logbook.RecordStart(start.Mission, -1, start.Key, std::nullopt, true);
            if (endLine) logbook.RecordEnd(id, -1, ClockSpan(start.Line, *endLine));
            ++outcome.Added;
        } else if (endLine && !it->second->EndSeen) {
            // Imported before its end was written: the end completes it.
            logbook.RecordEnd(it->second->Id, -1, ClockSpan(start.Line, *endLine));
            ++outcome.Completed;
        } else {
            ++outcome.Known;
        }
    };
    for (const TLogLine& line : SplitLogLines(text)) {
        const std::int64_t offset = static_cast<std::int64_t>(line.Text.data() - text.data());
        if (IsStartLine(line.Text)) {
            if (open) record(*open, std::nullopt);
            open = TOpen{MissionNameFromLine(line.Text), FlightKey(line.Text, offset), line.Text};
        } else if (IsEndLine(line.Text) && open) {
            record(*open, line.Text);
            open.reset();
        }
    }
    if (open) record(*open, std::nullopt);
    return outcome;
}

int TFlightRecorder::Started(const std::string& fileName, std::string_view line, std::int64_t offset,
                             std::int64_t now) {
    const std::string key = FlightKey(line, offset);
    if (key == lastKey_) return current_;
    current_ = 0;
    lastKey_ = key;
    started_ = now;
    current_ = logbook_.RecordStart(fileName, now, key, VariantInForce(journal_, fileName, now));
    return current_;
}

int TFlightRecorder::Ended(std::int64_t now) {
    const int id = current_;
    if (id == 0) return 0;
    current_ = 0;
    logbook_.RecordEnd(id, now, std::max<std::int64_t>(0, now - started_));
    return id;
}

// ---- totals ----

double TTotals::HitShare() const {
    const int judged = Yes + Partly + No;
    return judged == 0 ? -1.0 : static_cast<double>(Yes) / judged;
}

namespace {

void Add(TTotals& t, const TFlight& f) {
    ++t.Flights;
    if (f.Seconds > 0) t.Seconds += f.Seconds;
    switch (f.Result) {
        case TFlightResult::Yes:
            ++t.Yes;
            break;
        case TFlightResult::Partly:
            ++t.Partly;
            break;
        case TFlightResult::No:
            ++t.No;
            break;
        case TFlightResult::Unknown:
        case TFlightResult::None:
            break;
    }
    if (f.Result != TFlightResult::None) ++t.Marked;
}

std::string TimeOfDay(int hour) {
    if (hour >= 5 && hour <= 10) return Tr("logbook", "утро");
    if (hour >= 11 && hour <= 16) return Tr("logbook", "день");
    if (hour >= 17 && hour <= 20) return Tr("logbook", "вечер");
    return Tr("logbook", "ночь");
}

std::string LabelOf(TTotalsBy by, const TMissionData& d) {
    switch (by) {
        case TTotalsBy::Target:
            return Cp1251ToUtf8(d.Target) + (d.Moving != 0 ? Tr("logbook", " (движется)") : std::string());
        case TTotalsBy::Mode:
            return ShownName(ModeNames.at(d.Mode % ModeNames.size()));
        case TTotalsBy::Difficulty:
            return ShownName(DifficultyNames.at(d.Difficulty % DifficultyNames.size()));
        case TTotalsBy::Aircraft:
            return Cp1251ToUtf8(d.Aircraft);
        case TTotalsBy::TimeOfDay:
            return TimeOfDay(d.Time);
        case TTotalsBy::Weather:
            return ShownName(WeatherNames.at(static_cast<std::size_t>(d.Weather) % WeatherNames.size()));
    }
    return {};
}

}  // namespace

TTotals TotalOf(const std::vector<TFlight>& flights) {
    TTotals t;
    for (const TFlight& f : flights) Add(t, f);
    return t;
}

std::vector<TTotalsRow> TotalsBy(const std::vector<TFlight>& flights) {
    std::vector<TTotalsRow> rows;
    for (auto by : {TTotalsBy::Target, TTotalsBy::Mode, TTotalsBy::Difficulty, TTotalsBy::Aircraft,
                    TTotalsBy::TimeOfDay, TTotalsBy::Weather}) {
        const std::size_t first = rows.size();
        for (const TFlight& f : flights) {
            if (!f.Variant) continue;
            const std::string label = LabelOf(by, f.Variant->Data);
            auto it = std::find_if(rows.begin() + static_cast<std::ptrdiff_t>(first), rows.end(),
                                   [&](const TTotalsRow& r) { return r.Label == label; });
            if (it == rows.end()) it = rows.insert(rows.end(), TTotalsRow{by, label, {}});
            Add(it->Totals, f);
        }
    }
    return rows;
}

std::string TotalsByName(TTotalsBy by) {
    switch (by) {
        case TTotalsBy::Target:
            return Tr("logbook", "цель");
        case TTotalsBy::Mode:
            return Tr("logbook", "тип задания");
        case TTotalsBy::Difficulty:
            return Tr("logbook", "вылет");
        case TTotalsBy::Aircraft:
            return Tr("logbook", "самолёт");
        case TTotalsBy::TimeOfDay:
            return Tr("logbook", "время суток");
        case TTotalsBy::Weather:
            return Tr("logbook", "погода");
    }
    return {};
}

std::vector<TTotals> WeeklyTrend(const std::vector<TFlight>& flights, std::int64_t now, int weeks) {
    constexpr std::int64_t kWeek = 7 * 86400;
    std::vector<TTotals> trend(static_cast<std::size_t>(std::max(weeks, 0)));
    for (const TFlight& f : flights) {
        if (f.Started < 0 || f.Started > now) continue;
        const std::int64_t ago = (now - f.Started) / kWeek;
        if (ago < weeks) Add(trend[static_cast<std::size_t>(weeks - 1 - ago)], f);
    }
    return trend;
}

std::vector<const TFlight*> AttemptsOfSameVariant(const std::vector<TFlight>& flights, const TFlight& flight) {
    std::vector<const TFlight*> out;
    if (!flight.Variant) return out;
    for (const TFlight& f : flights) {
        if (f.Id == flight.Id || !f.Variant || f.Mission != flight.Mission) continue;
        if (f.Variant->Seed == flight.Variant->Seed && f.Variant->Data == flight.Variant->Data) out.push_back(&f);
    }
    return out;
}

}  // namespace zelk
