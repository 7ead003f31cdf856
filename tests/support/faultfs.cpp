#include "support/faultfs.h"

#include "data/error.h"

namespace zelk::test {

void TFaultFileSystem::WriteFile(const std::filesystem::path& path, std::string_view bytes) {
    if (Fails()) {
        TSaveFileSystem::WriteFile(path, bytes.substr(0, bytes.size() / 2));
        throw TFileError(path, static_cast<std::int64_t>(bytes.size() / 2), "диск переполнен");
    }
    TSaveFileSystem::WriteFile(path, bytes);
}

bool TFaultFileSystem::ReadFile(const std::filesystem::path& path, std::string& bytes) {
    if (Fails()) throw TFileError(path, 0, "ошибка чтения");
    return TSaveFileSystem::ReadFile(path, bytes);
}

void TFaultFileSystem::Rename(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (Fails()) throw TFileError(to, TFileError::kNoPosition, "файл занят");
    TSaveFileSystem::Rename(from, to);
}

bool TFaultFileSystem::RenameNew(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (Fails()) throw TFileError(to, TFileError::kNoPosition, "файл занят");
    return TSaveFileSystem::RenameNew(from, to);
}

bool TFaultFileSystem::Remove(const std::filesystem::path& path) noexcept {
    if (Fails()) return false;
    return TSaveFileSystem::Remove(path);
}

}  // namespace zelk::test
