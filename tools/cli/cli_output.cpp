#include "cli_output.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "data/catalogues.h"
#include "data/codepage.h"
#include "text/tr.h"
#include "library/availability.h"
#include "mission/params.h"

namespace zelk::cli {

namespace {

std::string U(const std::string& cp1251) { return Cp1251ToUtf8(cp1251); }

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i) out += '\n';
        out += lines[i];
    }
    return out;
}

// A catalogue entry by index, or "" for an index the catalogue lacks (a
// mission read back from an edited file may hold any number).
template <typename Table>
std::string NameAt(const Table& table, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= table.size()) return {};
    return ShownName(table[static_cast<std::size_t>(index)]);
}

// Text of several lines (CR LF or LF inside) indented under a heading.
void PrintBlock(std::ostream& out, const std::string& heading, const std::vector<std::string>& lines) {
    std::string text = U(JoinLines(lines));
    out << heading << '\n';
    if (text.empty()) return;
    std::string line;
    auto flush = [&] {
        out << "  " << line << '\n';
        line.clear();
    };
    bool any = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        if (c == '\n' || c == '\r') {
            flush();
            any = true;
        } else {
            line += c;
        }
    }
    if (!line.empty() || !any) flush();
}

}  // namespace

nlohmann::ordered_json MissionJson(const TMission& m) {
    const TMissionData& d = m.Data;
    nlohmann::ordered_json params;
    params["map"] = U(d.Map);
    params["target"] = U(d.Target);
    params["moving"] = d.Moving;
    params["mode"] = d.Mode;
    params["difficulty"] = d.Difficulty;
    params["aircraft"] = U(d.Aircraft);
    params["army"] = d.Army;
    params["flight"] = d.Flight;
    params["height"] = d.Height;
    params["clouds"] = U(d.Clouds);
    params["time"] = d.Time;
    params["weather"] = d.Weather;
    params["tanks"] = d.Tanks;
    params["random_route"] = d.RandomRoute;
    params["fighters"] = d.Fighters;

    nlohmann::ordered_json j;
    j["number"] = m.Number;
    j["file"] = U(m.FileName);
    j["prop_file"] = U(m.PropFileName);
    j["title"] = U(m.Name);
    j["short"] = U(JoinLines(m.Short));
    j["comment"] = U(JoinLines(m.Comment));
    j["params"] = std::move(params);
    return j;
}

nlohmann::ordered_json MissionListJson(const std::vector<const TMission*>& missions) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const TMission* m : missions) list.push_back(MissionJson(*m));
    nlohmann::ordered_json j;
    j["missions"] = std::move(list);
    return j;
}

void PrintJson(std::ostream& out, const nlohmann::ordered_json& json) {
    // Every text went through Cp1251ToUtf8, so it is valid UTF-8; replacing
    // instead of throwing keeps a surprise from ending the program.
    out << json.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

void PrintJsonLine(std::ostream& out, const nlohmann::ordered_json& json) {
    out << json.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

namespace {

// What PrintJson writes for each Windows-1251 byte inside a string: its
// UTF-8 form, escaped as far as JSON requires and no further.
struct TJsonForms {
    static constexpr std::size_t kLongest = 6;  // "\\u001f"
    struct TForm {
        char Bytes[8];
        std::uint8_t Length;
    };
    std::array<TForm, 256> Form{};

    TJsonForms() {
        for (int b = 0; b < 256; ++b) {
            const char c = static_cast<char>(b);
            std::string f;
            switch (c) {
                case '"':
                    f = "\\\"";
                    break;
                case '\\':
                    f = "\\\\";
                    break;
                case '\b':
                    f = "\\b";
                    break;
                case '\f':
                    f = "\\f";
                    break;
                case '\n':
                    f = "\\n";
                    break;
                case '\r':
                    f = "\\r";
                    break;
                case '\t':
                    f = "\\t";
                    break;
                default:
                    if (b < 0x20) {
                        char code[8];
                        std::snprintf(code, sizeof code, "\\u%04x", static_cast<unsigned>(b));
                        f = code;
                    } else {
                        f = U(std::string(1, c));
                    }
            }
            TForm& form = Form[static_cast<std::size_t>(b)];
            std::memcpy(form.Bytes, f.data(), f.size());
            form.Length = static_cast<std::uint8_t>(f.size());
        }
    }
};

// The bytes of a Windows-1251 text as a JSON string's inside, converted and
// escaped in one pass without a copy of the text.
void AppendJsonText(std::string& out, std::string_view cp1251) {
    static const TJsonForms forms;
    const std::size_t at = out.size();
    // Room for the longest form of every byte, and for a whole form copied
    // at the last one.
    out.resize(at + cp1251.size() * TJsonForms::kLongest + sizeof(TJsonForms::TForm::Bytes));
    char* o = out.data() + at;
    for (const char c : cp1251) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b < 0x80 && c != '"' && c != '\\') {
            *o++ = c;
        } else {
            const TJsonForms::TForm& form = forms.Form[b];
            std::memcpy(o, form.Bytes, sizeof form.Bytes);
            o += form.Length;
        }
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
}

void AppendField(std::string& out, const char* indent, const char* key, bool first) {
    if (!first) out += ",\n";
    out += indent;
    out += '"';
    out += key;
    out += "\": ";
}

void AppendNumber(std::string& out, long long value) {
    char digits[24];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, end);
}

}  // namespace

void PrintMissionListJson(std::ostream& out, const std::vector<const TMission*>& missions,
                          const std::vector<std::string>& unreadable) {
    std::string tail = "\n}\n";
    if (!unreadable.empty()) {
        tail = ",\n  \"unreadable\": [";
        for (std::size_t i = 0; i < unreadable.size(); ++i) {
            tail += i > 0 ? ",\n    " : "\n    ";
            tail += nlohmann::ordered_json(unreadable[i])
                        .dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
        }
        tail += "\n  ]\n}\n";
    }
    if (missions.empty()) {
        out << "{\n  \"missions\": []" << tail;
        return;
    }
    // The text goes out in pieces of this size: ten thousand missions make
    // megabytes, which need not all be held at once.
    constexpr std::size_t kPiece = 64 * 1024;
    std::string text = "{\n  \"missions\": [\n";
    text.reserve(kPiece + 4096);
    const char* in1 = "      ";
    const char* in2 = "        ";
    const auto str = [&](const char* indent, const char* key, std::string_view cp1251, bool first = false) {
        AppendField(text, indent, key, first);
        text += '"';
        AppendJsonText(text, cp1251);
        text += '"';
    };
    // Lines joined with LF, as one string.
    const auto lines = [&](const char* indent, const char* key, const std::vector<std::string>& cp1251) {
        AppendField(text, indent, key, false);
        text += '"';
        for (std::size_t i = 0; i < cp1251.size(); ++i) {
            if (i) text += "\\n";
            AppendJsonText(text, cp1251[i]);
        }
        text += '"';
    };
    const auto num = [&](const char* indent, const char* key, long long value) {
        AppendField(text, indent, key, false);
        AppendNumber(text, value);
    };
    for (std::size_t i = 0; i < missions.size(); ++i) {
        const TMission& m = *missions[i];
        const TMissionData& d = m.Data;
        if (i > 0) text += ",\n";
        text += "    {\n";
        AppendField(text, in1, "number", true);
        AppendNumber(text, m.Number);
        str(in1, "file", m.FileName);
        str(in1, "prop_file", m.PropFileName);
        str(in1, "title", m.Name);
        lines(in1, "short", m.Short);
        lines(in1, "comment", m.Comment);
        AppendField(text, in1, "params", false);
        text += "{\n";
        str(in2, "map", d.Map, true);
        str(in2, "target", d.Target);
        num(in2, "moving", d.Moving);
        num(in2, "mode", d.Mode);
        num(in2, "difficulty", d.Difficulty);
        str(in2, "aircraft", d.Aircraft);
        num(in2, "army", d.Army);
        num(in2, "flight", d.Flight);
        num(in2, "height", d.Height);
        str(in2, "clouds", d.Clouds);
        num(in2, "time", d.Time);
        num(in2, "weather", d.Weather);
        num(in2, "tanks", d.Tanks);
        num(in2, "random_route", d.RandomRoute);
        num(in2, "fighters", d.Fighters);
        text += "\n      }\n    }";
        if (text.size() >= kPiece) {
            out.write(text.data(), static_cast<std::streamsize>(text.size()));
            text.clear();
        }
    }
    text += "\n  ]" + tail;
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

void PrintMissionLine(std::ostream& out, const TMission& m) {
    // A title read back from an edited file may hold line breaks; a list
    // keeps one mission to a line.
    std::string title = U(m.Name);
    for (char& c : title)
        if (c == '\r' || c == '\n') c = ' ';
    out << U(m.FileName) << "  " << title << '\n';
}

void PrintMissionText(std::ostream& out, const TMission& m, const TRefData* ref) {
    const TMissionData& d = m.Data;
    auto row = [&out](const char* key, const std::string& value, const std::string& meaning = {}) {
        std::string k = key;
        k.resize(14, ' ');
        out << "  " << k << value;
        if (!meaning.empty()) out << "  (" << meaning << ")";
        out << '\n';
    };
    out << U(m.FileName) << "  " << U(m.PropFileName) << "  " << Fill(Tr("cli", "номер %1"), {std::to_string(m.Number)})
        << '\n';
    out << U(m.Name) << '\n';
    std::string mapName = ref ? U(ref->Maps.GetName(d.Map)) : std::string();
    row("map", U(d.Map), mapName);
    row("target", U(d.Target));
    row("moving", std::to_string(d.Moving), NameAt(MovementNames, d.Moving));
    row("mode", std::to_string(d.Mode), NameAt(ModeNames, d.Mode));
    row("difficulty", std::to_string(d.Difficulty), NameAt(DifficultyNames, d.Difficulty));
    row("aircraft", U(d.Aircraft), ref ? U(GetAircraftName(ref->Aircrafts, d.Aircraft)) : std::string());
    row("army", std::to_string(d.Army), NameAt(ArmyNames, d.Army));
    row("flight", std::to_string(d.Flight), NameAt(FlightNames, d.Flight));
    row("height", std::to_string(d.Height), Tr("cli", "м"));
    row("clouds", U(d.Clouds), Tr("cli", "м"));
    row("time", std::to_string(d.Time), kTimeRange.Contains(d.Time) ? U(TimeName(d.Time)) : std::string());
    row("weather", std::to_string(d.Weather), NameAt(WeatherNames, d.Weather));
    row("tanks", std::to_string(d.Tanks));
    row("random_route", std::to_string(d.RandomRoute));
    row("fighters", std::to_string(d.Fighters));
    PrintBlock(out, Tr("cli", "Кратко:"), m.Short);
    PrintBlock(out, Tr("cli", "Комментарий:"), m.Comment);
}

}  // namespace zelk::cli
