#include "files/savefs.h"
#include "text/tr.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <random>
#include <system_error>

#include "files/paths.h"
#include "files/system.h"

namespace zelk {

namespace {

bool SyncFile(std::FILE* f) {
#if defined(_WIN32)
    return _commit(_fileno(f)) == 0;
#else
    return ::fsync(fileno(f)) == 0;
#endif
}

enum class TMoveResult { Moved, Exists, Failed };

// A move that refuses to replace: the one primitive that lets programs
// sharing the folder claim a file name. Keep every platform's form here.
TMoveResult MoveIfAbsent(const std::filesystem::path& from, const std::filesystem::path& to) {
#if defined(_WIN32)
    // Without MOVEFILE_REPLACE_EXISTING the move fails when `to` exists.
    if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) return TMoveResult::Moved;
    const DWORD error = ::GetLastError();
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? TMoveResult::Exists : TMoveResult::Failed;
#else
#if defined(__linux__) && defined(RENAME_NOREPLACE)
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return TMoveResult::Moved;
    if (errno == EEXIST) return TMoveResult::Exists;
    // Some file systems lack the flag; a hard link refuses to replace too.
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return TMoveResult::Failed;
#endif
    if (::link(from.c_str(), to.c_str()) != 0) return errno == EEXIST ? TMoveResult::Exists : TMoveResult::Failed;
    ::unlink(from.c_str());  // a left-over temporary name is never listed
    return TMoveResult::Moved;
#endif
}

}  // namespace

std::string TemporarySuffix() {
    static const unsigned long long process = [] {
#if defined(_WIN32)
        const unsigned long long pid = static_cast<unsigned long long>(_getpid());
#else
        const unsigned long long pid = static_cast<unsigned long long>(::getpid());
#endif
        return (pid << 32) ^ std::random_device{}();
    }();
    static std::atomic<unsigned> counter{0};
    char text[48];
    std::snprintf(text, sizeof text, ".%llx.%x.tmp", process, counter.fetch_add(1));
    return text;
}

bool ReadOnlyFile(const std::filesystem::path& path) {
    std::error_code ec;
    const auto status = std::filesystem::symlink_status(path, ec);
    return !ec && status.type() == std::filesystem::file_type::regular &&
           (status.permissions() & std::filesystem::perms::owner_write) == std::filesystem::perms::none;
}

void TSaveFileSystem::WriteFile(const std::filesystem::path& path, std::string_view bytes) {
    std::FILE* f = OpenFile(path, "wb");
    if (f == nullptr)
        throw TFileError(path, TFileError::kNoPosition, Tr("generator", "не удалось создать файл для записи"));
    const std::size_t written = bytes.empty() ? 0 : std::fwrite(bytes.data(), 1, bytes.size(), f);
    const bool flushed = written == bytes.size() && std::fflush(f) == 0 && SyncFile(f);
    const bool closed = std::fclose(f) == 0;
    if (written != bytes.size())
        throw TFileError(path, static_cast<std::int64_t>(written), Tr("generator", "запись в файл не удалась"));
    if (!flushed || !closed)
        throw TFileError(path, TFileError::kNoPosition, Tr("generator", "запись в файл не завершена"));
}

bool TSaveFileSystem::ReadFile(const std::filesystem::path& path, std::string& bytes) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        if (ec) throw TFileError(path, TFileError::kNoPosition, Tr("generator", "файл недоступен"));
        return false;
    }
    std::FILE* f = OpenFile(path, "rb");
    if (f == nullptr)
        throw TFileError(path, TFileError::kNoPosition, Tr("generator", "не удалось открыть файл для чтения"));
    bytes.clear();
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed)
        throw TFileError(path, static_cast<std::int64_t>(bytes.size()), Tr("generator", "чтение файла не удалось"));
    return true;
}

bool ReadFilePrefix(const std::filesystem::path& path, std::size_t limit, std::string& bytes) {
    bytes.clear();
#if defined(_WIN32)
    std::FILE* f = OpenFile(path, "rb");
    if (f == nullptr) {
        if (errno == ENOENT) return false;
        throw TFileError(path, TFileError::kNoPosition, Tr("generator", "не удалось открыть файл для чтения"));
    }
    struct _stat64 st;
    const bool regular = _fstat64(_fileno(f), &st) == 0 && (st.st_mode & _S_IFMT) == _S_IFREG;
#else
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT) return false;
        throw TFileError(path, TFileError::kNoPosition, Tr("generator", "не удалось открыть файл для чтения"));
    }
    struct stat st;
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    std::FILE* f = regular ? ::fdopen(fd, "rb") : nullptr;
#endif
    if (!regular || f == nullptr) {
        if (f != nullptr) std::fclose(f);
#if !defined(_WIN32)
        if (f == nullptr) ::close(fd);
#endif
        throw TFileError(path, TFileError::kNoPosition, Tr("generator", "не обычный файл, он не прочитан"));
    }
    char buf[65536];
    while (bytes.size() < limit) {
        const std::size_t n = std::fread(buf, 1, std::min(sizeof buf, limit - bytes.size()), f);
        if (n == 0) break;
        bytes.append(buf, n);
    }
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed)
        throw TFileError(path, static_cast<std::int64_t>(bytes.size()), Tr("generator", "чтение файла не удалось"));
    return true;
}

void TSaveFileSystem::Rename(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::error_code ec;
    // A file the pilot made read-only is not ours to replace: the folder scan
    // passes it over, and Windows refuses such a rename, but POSIX would
    // replace it without a word.
    if (ReadOnlyFile(to))
        throw TFileError(to, TFileError::kNoPosition, Tr("generator", "файл защищён от записи, он не заменён"));
    std::filesystem::rename(from, to, ec);
#if defined(_WIN32)
    // Windows replaces no file another program has open: a list reading the
    // mission holds it for a moment.
    for (int attempt = 0; ec && attempt < 100; ++attempt) {
        ::Sleep(10);
        ec.clear();
        std::filesystem::rename(from, to, ec);
    }
#endif
    if (ec) throw TFileError(to, TFileError::kNoPosition, Tr("generator", "не удалось заменить файл новым"));
}

bool TSaveFileSystem::RenameNew(const std::filesystem::path& from, const std::filesystem::path& to) {
    switch (MoveIfAbsent(from, to)) {
        case TMoveResult::Moved:
            return true;
        case TMoveResult::Exists:
            return false;
        case TMoveResult::Failed:
            break;
    }
    throw TFileError(to, TFileError::kNoPosition, Tr("generator", "не удалось создать файл"));
}

bool TSaveFileSystem::Remove(const std::filesystem::path& path) noexcept {
    std::error_code ec;
    std::filesystem::remove(path, ec);
    // Only a name that is surely gone counts as removed, not one we cannot look at.
    return std::filesystem::symlink_status(path, ec).type() == std::filesystem::file_type::not_found;
}

void TSaveFileSystem::KeepCopy(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::error_code ec;
    std::filesystem::remove(to, ec);
    // No second name on Windows: it shares its file's sharing mode, so while
    // the simulator holds the description open the kept name could be
    // neither removed nor renamed, and the replace could not settle.
#if !defined(_WIN32)
    std::filesystem::create_hard_link(from, to, ec);
    if (!ec) return;
#endif
    // FAT and exFAT sticks have no hard links. The files kept are
    // descriptions, far below this; a larger one is not ours to copy whole.
    constexpr std::uintmax_t kCopyLimit = 64u << 20;
    const auto size = std::filesystem::file_size(from, ec);
    if (ec || size > kCopyLimit)
        throw TFileError(from, TFileError::kNoPosition, Tr("generator", "не удалось сохранить копию файла"));
    std::string bytes;
    if (!ReadFile(from, bytes))
        throw TFileError(from, TFileError::kNoPosition, Tr("generator", "не удалось открыть файл для чтения"));
    // Straight under its name: a replace reads the kept copy only once the
    // new description is in place, long after this write has ended, and a
    // torn one is removed with the other temporary names.
    WriteFile(to, bytes);
}

void WriteFileAtomically(TSaveFileSystem& fs, const std::filesystem::path& path, std::string_view bytes) {
    std::filesystem::path temp = path;
    temp += TemporarySuffix();
    try {
        fs.WriteFile(temp, bytes);
        fs.Rename(temp, path);
    } catch (const TFileError& e) {
        fs.Remove(temp);
        // The pilot knows the file, not our temporary name.
        if (e.File() == temp) throw TFileError(path, e.Position(), e.Reason());
        throw;
    } catch (...) {
        fs.Remove(temp);
        throw;
    }
}

}  // namespace zelk
