#include "files/error.h"
#include "files/paths.h"

#include <utility>

namespace zelk {

namespace {

std::string Compose(const std::filesystem::path& file, std::int64_t position, const std::string& reason) {
    std::string text = "Файл «" + PathToUtf8(file) + "»";
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
