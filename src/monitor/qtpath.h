#pragma once
// A path as the Qt side shows it to a person: the core's text of it.
#include <QString>
#include <filesystem>

#include "files/paths.h"

namespace zelk {

inline QString QPathText(const std::filesystem::path& path) { return QString::fromStdString(PathText(path)); }

}  // namespace zelk
