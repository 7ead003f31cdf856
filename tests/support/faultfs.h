#pragma once
// A file system for the save and delete paths that fails one operation on
// purpose: the n-th call of any kind, counting from 1. A failing write leaves
// half its bytes behind, as a full disk would.
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "files/savefs.h"

namespace zelk::test {

class TFaultFileSystem : public TSaveFileSystem {
public:
    int FailAt = 0;   // 0: nothing fails
    int FailFor = 1;  // calls failing from FailAt on: 2 fails the clean-up of a failure too
    int Calls = 0;

    // Whether the failure was reached in the calls so far.
    bool Injected() const { return FailAt > 0 && Calls >= FailAt; }

    void WriteFile(const std::filesystem::path& path, std::string_view bytes) override;
    bool ReadFile(const std::filesystem::path& path, std::string& bytes) override;
    void Rename(const std::filesystem::path& from, const std::filesystem::path& to) override;
    bool RenameNew(const std::filesystem::path& from, const std::filesystem::path& to) override;
    bool Remove(const std::filesystem::path& path) noexcept override;
    void KeepCopy(const std::filesystem::path& from, const std::filesystem::path& to) override;

private:
    bool Fails() {
        ++Calls;
        return FailAt > 0 && Calls >= FailAt && Calls < FailAt + FailFor;
    }
};

// Every file of a folder with its bytes, by name.
using TFolderBytes = std::map<std::string, std::string>;
TFolderBytes FolderBytes(const std::filesystem::path& folder);

// The stored missions of `before` that are no longer whole and unchanged in
// `after`: either file changed or gone. A mission gone entirely is allowed
// with `goneAllowed`, any change with `changeAllowed`.
std::vector<std::string> LostMissions(const TFolderBytes& before, const TFolderBytes& after, bool goneAllowed,
                                      bool changeAllowed);

// Mission files in the folder without their description: what a scan would
// list as half a mission.
std::vector<std::string> HalfMissions(const TFolderBytes& folder);

}  // namespace zelk::test
