#pragma once
// Paths as the programs name them: UTF-8 at every edge (messages, JSON,
// arguments, conf.ini values), opened with any letters on every platform; and
// the simulator's own folders and files around its root.
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace zelk {

// The path's UTF-8 bytes, as messages and JSON name it.
std::string PathToUtf8(const std::filesystem::path& path);

// The path as a person reads it: UTF-8, with the system's own separators.
std::string PathText(std::filesystem::path path);

// A path from UTF-8 bytes.
std::filesystem::path PathFromUtf8(std::string_view utf8);

// std::fopen for a path of any letters: on Windows the narrow form knows only
// the ANSI code page, so the wide one is used. `mode` is plain ASCII ("rb").
std::FILE* OpenFile(const std::filesystem::path& path, const char* mode);

#if defined(_WIN32)
// Whether the last failed open was refused because another program holds
// the file without sharing it (errno EACCES from a sharing violation).
bool SharingViolation();
#endif

// Where ZELK's missions go, relative to the simulator's root, with "/" as the
// event log writes it: "Missions/Single/NN/ZELK".
inline constexpr std::string_view kMissionFolderName = "Missions/Single/NN/ZELK";

// ROOT/Missions/Single/NN/ZELK
std::filesystem::path MissionFolderOf(const std::filesystem::path& root);
// ROOT/orvaksim.exe
std::filesystem::path SimulatorExeOf(const std::filesystem::path& root);
// ROOT/conf.ini
std::filesystem::path SimulatorConfigOf(const std::filesystem::path& root);

}  // namespace zelk
