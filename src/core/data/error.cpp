#include "data/error.h"

#include <utility>

#include "data/tr.h"

namespace zelk {

namespace {

std::string PathText(const std::filesystem::path& file) {
    const std::u8string u8 = file.u8string();
    return std::string(u8.begin(), u8.end());
}

std::string Compose(const std::filesystem::path& file, std::int64_t position, const std::string& reason) {
    if (position == TFileError::kNoPosition) return Fill(Tr("data", "Файл «%1»: %2"), {PathText(file), reason});
    return Fill(Tr("data", "Файл «%1», байт %2: %3"), {PathText(file), std::to_string(position), reason});
}

}  // namespace

TFileError::TFileError(std::filesystem::path file, std::int64_t position, const std::string& reason)
    : std::runtime_error(Compose(file, position, reason)),
      file_(std::move(file)),
      position_(position),
      reason_(reason) {}

}  // namespace zelk
