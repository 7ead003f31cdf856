#include "mission/mission.h"

#include <cstdio>

namespace zelk {

std::string MissionFileName(int number) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%.4d%s", "zelk", number, ".mis");
    return buf;
}

void TMission::MakeFileNames(int number) {
    FileName = MissionFileName(number);
    PropFileName = FileName.substr(0, 8) + "_ru.properties";
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
