#include "support/faultfs.h"

#include "files/error.h"
#include "support/tempdir.h"

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

void TFaultFileSystem::KeepCopy(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (Fails()) throw TFileError(to, TFileError::kNoPosition, "диск переполнен");
    TSaveFileSystem::KeepCopy(from, to);
}

TFolderBytes FolderBytes(const std::filesystem::path& folder) {
    TFolderBytes files;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        files[e.path().filename().string()] = ReadFileBytes(e.path());
    return files;
}

namespace {

bool IsMissionFile(const std::string& name) { return name.starts_with("zelk") && name.ends_with(".mis"); }
std::string DescriptionOf(const std::string& mis) { return mis.substr(0, 8) + "_ru.properties"; }

}  // namespace

std::vector<std::string> LostMissions(const TFolderBytes& before, const TFolderBytes& after, bool goneAllowed,
                                      bool changeAllowed) {
    std::vector<std::string> lost;
    for (const auto& [name, bytes] : before) {
        if (!IsMissionFile(name)) continue;
        const std::string prop = DescriptionOf(name);
        const bool gone = !after.contains(name);
        const bool whole =
            !gone && after.contains(prop) &&
            (changeAllowed || (after.at(name) == bytes && before.contains(prop) && after.at(prop) == before.at(prop)));
        if (!whole && !(gone && goneAllowed)) lost.push_back(name);
    }
    return lost;
}

std::vector<std::string> HalfMissions(const TFolderBytes& folder) {
    std::vector<std::string> half;
    for (const auto& [name, bytes] : folder)
        if (IsMissionFile(name) && !folder.contains(DescriptionOf(name))) half.push_back(name);
    return half;
}

}  // namespace zelk::test
