#include "mission/mission.h"

#include <cstdio>

namespace zelk {

std::string MissionStem(int number) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%.4d", number);
    return std::string(kMissionPrefix) + digits;
}

namespace {

bool EqualsAsciiNoCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

}  // namespace

std::string MissionFileName(int number) { return MissionStem(number) + std::string(kMissionExtension); }

std::string PropertiesFileName(int number) { return MissionStem(number) + std::string(kPropertiesSuffix); }

bool LooksLikeMissionFile(std::string_view name) {
    return name.size() >= kMissionPrefix.size() + kMissionExtension.size() &&
           EqualsAsciiNoCase(name.substr(0, kMissionPrefix.size()), kMissionPrefix) &&
           EqualsAsciiNoCase(name.substr(name.size() - kMissionExtension.size()), kMissionExtension);
}

int MissionNumberFromEntry(std::string_view name) {
    constexpr std::size_t kDigits = 4;
    if (name.size() != kMissionPrefix.size() + kDigits + kMissionExtension.size() || !LooksLikeMissionFile(name))
        return -1;
    int number = 0;
    for (char c : name.substr(kMissionPrefix.size(), kDigits)) {
        if (c < '0' || c > '9') return -1;
        number = number * 10 + (c - '0');
    }
    // Numbers start at 1; our writer never makes zelk0000.mis.
    return number == 0 ? -1 : number;
}

void TMission::MakeFileNames(int number) {
    FileName = MissionFileName(number);
    PropFileName = PropertiesFileName(number);
}

void TMission::SaveState() {
    SavedData = Data;
    SavedComment = Comment;
    TypedComment.reset();
}

std::size_t CommentLength(const std::vector<std::string>& lines) {
    std::size_t n = lines.empty() ? 0 : 2 * (lines.size() - 1);
    for (const auto& line : lines) n += line.size();
    return n;
}

}  // namespace zelk
