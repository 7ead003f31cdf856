#include "monitor/simconfig.h"

#include <ini.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <system_error>

#include "data/codepage.h"

namespace zelk {

namespace {

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

struct TReading {
    TSimulatorConfig Config;
    bool NameSeen = false;
    bool KeepSeen = false;
};

int OnIniValue(void* user, const char* section, const char* name, const char* value) {
    auto* r = static_cast<TReading*>(user);
    if (!SameName(section, "game"))
        return 1;
    if (SameName(name, "eventlog") && !r->NameSeen) {
        r->NameSeen = true;
        const std::string text = value;
        std::string check;
        r->Config.EventLogName = Utf8ToCp1251(text, check) ? text : Cp1251ToUtf8(text);
    } else if (SameName(name, "eventlogkeep") && !r->KeepSeen) {
        r->KeepSeen = true;
        // Leading digits count, as the profile reader reads integers; text gives 0.
        r->Config.KeepEventLog = std::strtol(value, nullptr, 10) != 0;
    }
    return 1;
}

}  // namespace

TSimulatorConfig ReadSimulatorConfig(const std::filesystem::path& root) {
    TReading reading;
    const std::filesystem::path file = root / "conf.ini";
    std::error_code ec;
    // A pipe or a device in its place must not hang the reader.
    if (!std::filesystem::is_regular_file(file, ec))
        return reading.Config;
#ifdef _WIN32
    FILE* f = _wfopen(file.c_str(), L"rb");
#else
    FILE* f = std::fopen(file.c_str(), "rb");
#endif
    if (f == nullptr)
        return reading.Config;
    // A line inih cannot parse leaves the keys before and after it.
    ini_parse_file(f, OnIniValue, &reading);
    std::fclose(f);
    return reading.Config;
}

}  // namespace zelk
