#pragma once
// A lock that programs sharing a folder take by name: the window, zelk-cli and
// auto-generation may all replace the same mission at once.
#include <chrono>
#include <filesystem>

namespace zelk {

// Holds the lock file `path` exclusively from construction to destruction,
// which removes it. Waits while another program holds it, up to `patience`.
// Throws TFileError when the file cannot be made or the wait runs out.
class TFileLock {
public:
    explicit TFileLock(std::filesystem::path path,
                       std::chrono::milliseconds patience = std::chrono::milliseconds(30000));
    ~TFileLock();
    TFileLock(const TFileLock&) = delete;
    TFileLock& operator=(const TFileLock&) = delete;

private:
    std::filesystem::path path_;
#if defined(_WIN32)
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
};

// Whether a program holds the lock `path` now. Creates nothing, so a reader
// of a folder it may not write can ask too; a file left by a program that
// died holding it is not held.
bool LockHeld(const std::filesystem::path& path);

}  // namespace zelk
