#pragma once
// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes out of scope.
#include <filesystem>
#include <string>

namespace zelk::test {

class TTempDir {
public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Whole-file helpers for tests; they fail the test (by throwing) on error.
std::string ReadFileBytes(const std::filesystem::path& file);
void WriteFileBytes(const std::filesystem::path& file, const std::string& bytes);

}  // namespace zelk::test
