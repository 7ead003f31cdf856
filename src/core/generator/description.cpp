#include "generator/description.h"

#include <string>
#include <string_view>

#include "data/catalogues.h"
#include "data/codepage.h"
#include "generator/escapes.h"
#include "mission/params.h"
#include "mission/rules.h"

namespace zelk {

namespace {

// Out-of-range indices give an empty text instead of a read past the table.
template <typename Table>
std::string At(const Table& table, int index) {
    if (index < 0 || index >= static_cast<int>(table.size())) return {};
    return table[static_cast<std::size_t>(index)];
}

// A value of the description file must stay on its one line: any real line
// break in it is written as backslash-n, the form the simulator reads.
std::string OneLine(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            out += "\\n";
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

std::string MissionSummary(const TMissionData& data, const std::string& tankSuffix, const TRefData& ref) {
    std::string difficulty = At(DifficultyNames, data.Difficulty);
    if (!difficulty.empty()) difficulty[0] = LowerCp1251(difficulty[0]);

    std::string aircraftName;
    if (const int i = ref.Aircrafts.IndexOfClass(data.Aircraft); i >= 0)
        aircraftName = ref.Aircrafts.Items[static_cast<std::size_t>(i)].Name;

    const std::string routeText = data.RandomRoute ? W("случайный маршрут,") : std::string();
    const std::string coverText =
        data.Fighters > 0 && FightersAllowed(data.Difficulty) ? W("\\nистребительное прикрытие цели,") : std::string();
    const std::string timeText = kTimeRange.Contains(data.Time) ? TimeName(data.Time) : std::string();

    // Built by concatenation, not printf: target and map names may hold "%".
    std::string s;
    // Names from the data are written like any text: a backslash doubled.
    s += EscapeBackslashes(data.Target + tankSuffix) + ", " + EscapeBackslashes(ref.Maps.GetName(data.Map));
    s += W(",\\nцель ") + At(MovementNames, data.Moving) + ", " + LowerCp1251(At(ModeNames, data.Mode));
    s += W(",\\nсложность - ") + difficulty + ", " + routeText;
    s += W("\\nармия, язык - ") + LowerCp1251(At(ArmyNames, data.Army)) + "," + coverText;
    s += W("\\n\\nсамолет") + std::string(9, ' ') + EscapeBackslashes(aircraftName);
    s += W(",\\nвысота") + std::string(12, ' ') + std::to_string(data.Height);
    s += W(" м,\\nвремя") + std::string(14, ' ') + timeText;
    s += ".\\n\\n" + At(WeatherNames, data.Weather) + W(", облачность - ") + data.Clouds + W(" м.\\n");
    return s;
}

std::string CommentText(const std::vector<std::string>& commentLines) {
    std::string text;
    // A typed backslash is doubled, so that a typed "\n" stays two characters.
    for (const auto& line : commentLines) text += OneLine(EscapeBackslashes(line)) + "\\n";
    if (text.size() >= 2) text.resize(text.size() - 2);
    return text;
}

std::string DescriptionFileBytes(const std::string& title, const std::string& summary, const std::string& commentText) {
    std::string out;
    for (const std::string& line :
         {"Name " + EscapeBackslashes(title), "Short " + summary, "Description " + summary + commentText}) {
        out += EncodeUnicodeEscapes(OneLine(line));
        out += "\r\n";
    }
    return out;
}

}  // namespace zelk
