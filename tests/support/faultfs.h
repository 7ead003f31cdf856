#pragma once
// A file system for the save and delete paths that fails one operation on
// purpose: the n-th call of any kind, counting from 1. A failing write leaves
// half its bytes behind, as a full disk would.
#include <filesystem>
#include <string>
#include <string_view>

#include "generator/writer.h"

namespace zelk::test {

class TFaultFileSystem : public TSaveFileSystem {
public:
    int FailAt = 0;  // 0: nothing fails
    int Calls = 0;

    // Whether the failure was reached in the calls so far.
    bool Injected() const { return FailAt > 0 && Calls >= FailAt; }

    void WriteFile(const std::filesystem::path& path, std::string_view bytes) override;
    bool ReadFile(const std::filesystem::path& path, std::string& bytes) override;
    void Rename(const std::filesystem::path& from, const std::filesystem::path& to) override;
    bool RenameNew(const std::filesystem::path& from, const std::filesystem::path& to) override;
    bool Remove(const std::filesystem::path& path) noexcept override;

private:
    bool Fails() { return ++Calls == FailAt; }
};

}  // namespace zelk::test
