#include "files/paths.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace zelk {

namespace fs = std::filesystem;

std::string PathToUtf8(const fs::path& path) {
    const std::u8string u8 = path.u8string();
    return std::string(u8.begin(), u8.end());
}

std::string PathText(fs::path path) { return PathToUtf8(path.make_preferred()); }

fs::path PathFromUtf8(std::string_view utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

#if defined(_WIN32)
bool SharingViolation() {
    constexpr unsigned long kSharingViolation = 32, kLockViolation = 33;  // ERROR_SHARING_/LOCK_VIOLATION
    return errno == EACCES && (_doserrno == kSharingViolation || _doserrno == kLockViolation);
}
#endif

std::FILE* OpenFile(const fs::path& path, const char* mode) {
#if defined(_WIN32)
    std::wstring wide;
    for (const char* c = mode; *c != 0; ++c) wide += static_cast<wchar_t>(*c);
    // Another program may hold the file for a moment without sharing it
    // (Wine's replace of a file does, as may a virus scanner): ask again
    // for up to half a second before the caller calls it unreadable.
    for (int attempt = 0;; ++attempt) {
        std::FILE* file = _wfopen(path.c_str(), wide.c_str());
        if (file != nullptr || !SharingViolation() || attempt == 50) return file;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
#else
    return std::fopen(path.c_str(), mode);
#endif
}

fs::path MissionFolderOf(const fs::path& root) { return root / "Missions" / "Single" / "NN" / "ZELK"; }

fs::path SimulatorExeOf(const fs::path& root) { return root / "orvaksim.exe"; }

fs::path SimulatorConfigOf(const fs::path& root) { return root / "conf.ini"; }

}  // namespace zelk
