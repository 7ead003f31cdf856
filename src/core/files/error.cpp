#include "files/error.h"
#include "files/paths.h"

#include <utility>

#include "text/tr.h"

namespace zelk {

namespace {

std::string Compose(const std::filesystem::path& file, std::int64_t position, const std::string& reason) {
    if (position == TFileError::kNoPosition) return Fill(Tr("data", "Файл «%1»: %2"), {PathToUtf8(file), reason});
    return Fill(Tr("data", "Файл «%1», байт %2: %3"), {PathToUtf8(file), std::to_string(position), reason});
}

}  // namespace

TFileError::TFileError(std::filesystem::path file, std::int64_t position, const std::string& reason)
    : std::runtime_error(Compose(file, position, reason)),
      file_(std::move(file)),
      position_(position),
      reason_(reason) {}

}  // namespace zelk
