#include "files/listing.h"

#include <cerrno>
#include <system_error>

#include "files/paths.h"
#include "files/system.h"
#include "text/tr.h"

namespace zelk {

namespace {

#ifdef _WIN32
// The listing reports C library numbers, or Windows ones where the library
// passes the system's on: either way the pilot is told the reason in words.
int ErrnoOf(const std::error_code& ec) {
    const std::error_condition condition = ec.default_error_condition();
    if (condition.category() == std::generic_category()) return condition.value();
    switch (ec.value()) {
        case ERROR_ACCESS_DENIED:
            return EACCES;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return ENOMEM;
        case ERROR_TOO_MANY_OPEN_FILES:
            return EMFILE;
        default:
            return EIO;
    }
}
#endif

}  // namespace

bool ListFolder(const std::filesystem::path& folder, const std::function<void(const std::string& name)>& onName,
                int& error) {
    error = 0;
#ifdef _WIN32
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        // UTF-8 never fails to convert; our names are ASCII either way.
        onName(PathToUtf8(it->path().filename()));
    }
    if (ec) error = ErrnoOf(ec);
    return !ec;
#else
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) {
        error = errno;
        return false;
    }
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry) {
            error = errno;
            break;
        }
        onName(entry->d_name);
    }
    ::closedir(dir);
    return error == 0;
#endif
}

TFolderLister& FolderLister() {
    static TFolderLister lister = ListFolder;
    return lister;
}

TEntryKind EntryKindOf(const std::filesystem::path& path) {
#ifdef _WIN32
    // Windows says it with attributes: only archive alone, or none, is ours;
    // read-only, hidden, system, a folder or any other bit is not.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return TEntryKind::Missing;
    if (attributes == FILE_ATTRIBUTE_ARCHIVE || attributes == FILE_ATTRIBUTE_NORMAL || attributes == 0)
        return TEntryKind::Plain;
    constexpr DWORD kNotFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;
    if ((attributes & kNotFile) == 0 && (attributes & FILE_ATTRIBUTE_READONLY) != 0) return TEntryKind::ReadOnly;
    return TEntryKind::NotFile;
#else
    std::error_code ec;
    const auto status = std::filesystem::symlink_status(path, ec);
    if (ec || !std::filesystem::exists(status)) return TEntryKind::Missing;
    if (status.type() != std::filesystem::file_type::regular) return TEntryKind::NotFile;
    if ((status.permissions() & std::filesystem::perms::owner_write) == std::filesystem::perms::none)
        return TEntryKind::ReadOnly;
    return TEntryKind::Plain;
#endif
}

std::string ListErrorReason(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return Tr("library", "нет прав на чтение папки");
        case ENOENT:
        case ENOTDIR:
            return Tr("library", "папка не найдена");
        case EIO:
            return Tr("library", "ошибка ввода-вывода");
        case ENOMEM:
            return Tr("library", "не хватает памяти");
        case EMFILE:
        case ENFILE:
            return Tr("library", "открыто слишком много файлов");
        default:
            return error != 0 ? Fill(Tr("library", "ошибка %1"), {std::to_string(error)})
                              : Tr("library", "ошибка чтения");
    }
}

}  // namespace zelk
