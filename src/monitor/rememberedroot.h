#pragma once
// The simulator folder the pilot named in the window, kept in the user's
// settings (QSettings) so that the window and zelk-cli both find it.
#include <filesystem>
#include <optional>

namespace zelk {

std::optional<std::filesystem::path> RememberedRoot();
// False when the settings could not be written.
bool RememberRoot(const std::filesystem::path& root);

}  // namespace zelk
