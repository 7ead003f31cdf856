#include "files/error.h"

#include <utility>

namespace zelk {

namespace {

std::string PathText(const std::filesystem::path& file) {
    const std::u8string u8 = file.u8string();
    return std::string(u8.begin(), u8.end());
}

std::string Compose(const std::filesystem::path& file, std::int64_t position, const std::string& reason) {
    std::string text = "Файл «" + PathText(file) + "»";
    if (position != TFileError::kNoPosition)
        text += ", байт " + std::to_string(position);
    text += ": " + reason;
    return text;
}

}  // namespace

TFileError::TFileError(std::filesystem::path file, std::int64_t position, const std::string& reason)
    : std::runtime_error(Compose(file, position, reason)),
      file_(std::move(file)),
      position_(position),
      reason_(reason) {}

}  // namespace zelk
