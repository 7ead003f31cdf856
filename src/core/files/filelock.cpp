#include "files/filelock.h"

#include <cerrno>
#include <thread>

#include "files/error.h"
#include "text/tr.h"
#include "files/system.h"

namespace zelk {

namespace {
// Short enough that a queue of waiting saves moves on at once.
constexpr std::chrono::milliseconds kPoll(2);
}  // namespace

TFileLock::TFileLock(std::filesystem::path path, std::chrono::milliseconds patience) : path_(std::move(path)) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
#if defined(_WIN32)
        // Opened without sharing, the file is the lock; the system removes it
        // when the handle closes, also when the program dies.
        HANDLE h = ::CreateFileW(path_.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            handle_ = h;
            return;
        }
        const DWORD error = ::GetLastError();
        // Held by another program, or its removal is still pending.
        const bool busy = error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED;
        if (!busy)
            throw TFileError(path_, TFileError::kNoPosition, Tr("generator", "не удалось создать файл блокировки"));
#else
        const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
        if (fd < 0)
            throw TFileError(path_, TFileError::kNoPosition, Tr("generator", "не удалось создать файл блокировки"));
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            // The holder before us removes the file as it lets go: a lock on a
            // file no longer under the name holds nothing.
            struct stat held, named;
            if (::fstat(fd, &held) == 0 && ::lstat(path_.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
                held.st_ino == named.st_ino) {
                fd_ = fd;
                return;
            }
            ::close(fd);
            continue;
        }
        const int error = errno;
        ::close(fd);
        if (error != EWOULDBLOCK && error != EINTR)
            throw TFileError(path_, TFileError::kNoPosition, Tr("generator", "не удалось создать файл блокировки"));
#endif
        if (std::chrono::steady_clock::now() >= deadline)
            throw TFileError(path_, TFileError::kNoPosition,
                             Tr("generator", "задание занято другой программой, попробуйте еще раз"));
        std::this_thread::sleep_for(kPoll);
    }
}

TFileLock::~TFileLock() {
#if defined(_WIN32)
    ::CloseHandle(static_cast<HANDLE>(handle_));
#else
    // Removed while still held, so that no one takes a lock on it meanwhile.
    ::unlink(path_.c_str());
    ::close(fd_);
#endif
}

bool LockHeld(const std::filesystem::path& path) {
#if defined(_WIN32)
    if (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
    }
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
    }
    ::CloseHandle(h);
    return false;
#else
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    // What cannot be looked at counts as held: the caller then waits or asks again.
    if (fd < 0) return errno != ENOENT;
    const bool free = ::flock(fd, LOCK_SH | LOCK_NB) == 0;
    ::close(fd);  // lets go of the shared lock too
    return !free;
#endif
}

}  // namespace zelk
