#pragma once
// Failures of file operations and of data files, as values the callers can show.
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace zelk {

// A failure tied to a file. what() is a complete message in Russian (UTF-8)
// that names the file and, where known, the byte position.
class TFileError : public std::runtime_error {
public:
    static constexpr std::int64_t kNoPosition = -1;

    TFileError(std::filesystem::path file, std::int64_t position, const std::string& reason);

    const std::filesystem::path& File() const { return file_; }
    std::int64_t Position() const { return position_; }
    // The reason alone, without the file name and position.
    const std::string& Reason() const { return reason_; }

private:
    std::filesystem::path file_;
    std::int64_t position_;
    std::string reason_;
};

}  // namespace zelk
