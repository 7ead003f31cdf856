#include "doctor/simconfig.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <system_error>

#include "data/codepage.h"
#include "files/paths.h"

namespace zelk {

namespace {

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

struct TReading {
    TSimulatorConfig Config;
    bool NameSeen = false;
    bool KeepSeen = false;
};

void OnIniValue(TReading& r, std::string_view section, std::string_view name, const std::string& whole) {
    if (!SameName(section, "game")) return;
    // The profile reader works on C strings: a zero byte ends the value, and
    // none may reach a file name.
    const std::string value = whole.substr(0, whole.find('\0'));
    if (SameName(name, "eventlog") && !r.NameSeen) {
        r.NameSeen = true;
        std::string check;
        r.Config.EventLogName = Utf8ToCp1251(value, check) ? value : Cp1251ToUtf8(value);
    } else if (SameName(name, "eventlogkeep") && !r.KeepSeen) {
        r.KeepSeen = true;
        // Leading digits count, as the profile reader reads integers; text gives 0.
        r.Config.KeepEventLog = std::strtol(value.c_str(), nullptr, 10) != 0;
    }
}

std::string_view Trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

// Reads the file line by line as the profile reader does: "[section]",
// "key=value", comments after ';' or '#' at the start of a line. A line that
// is neither (a section without ']', a line without '=') is passed over and
// leaves the keys around it.
void ParseIni(FILE* f, TReading& r) {
    std::string section, line;
    bool first = true;
    int c = 0;
    do {
        line.clear();
        while ((c = std::fgetc(f)) != EOF && c != '\n') line.push_back(static_cast<char>(c));
        std::string_view text = line;
        if (first && text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
        first = false;
        text = Trim(text);
        if (text.empty() || text.front() == ';' || text.front() == '#') continue;
        if (text.front() == '[') {
            const std::size_t end = text.find(']');
            if (end != std::string_view::npos) section = std::string(Trim(text.substr(1, end - 1)));
            continue;
        }
        const std::size_t eq = text.find('=');
        if (eq == std::string_view::npos) continue;
        OnIniValue(r, section, Trim(text.substr(0, eq)), std::string(Trim(text.substr(eq + 1))));
    } while (c != EOF);
}

}  // namespace

TSimulatorConfig ReadSimulatorConfig(const std::filesystem::path& root) {
    TReading reading;
    const std::filesystem::path file = SimulatorConfigOf(root);
    std::error_code ec;
    // A pipe or a device in its place must not hang the reader.
    if (!std::filesystem::is_regular_file(file, ec)) return reading.Config;
    FILE* f = OpenFile(file, "rb");
    if (f == nullptr) return reading.Config;
    ParseIni(f, reading);
    std::fclose(f);
    return reading.Config;
}

}  // namespace zelk
