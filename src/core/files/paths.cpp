#include "files/paths.h"

namespace zelk {

namespace fs = std::filesystem;

std::string PathToUtf8(const fs::path& path) {
    const std::u8string u8 = path.u8string();
    return std::string(u8.begin(), u8.end());
}

fs::path PathFromUtf8(std::string_view utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::FILE* OpenFile(const fs::path& path, const char* mode) {
#if defined(_WIN32)
    std::wstring wide;
    for (const char* c = mode; *c != 0; ++c) wide += static_cast<wchar_t>(*c);
    return _wfopen(path.c_str(), wide.c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

fs::path MissionFolderOf(const fs::path& root) { return root / "Missions" / "Single" / "NN" / "ZELK"; }

fs::path SimulatorExeOf(const fs::path& root) { return root / "orvaksim.exe"; }

fs::path SimulatorConfigOf(const fs::path& root) { return root / "conf.ini"; }

}  // namespace zelk
