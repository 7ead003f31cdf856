#pragma once
// Time stamps of the simulator's event log, as the examiner compares them.
#include <cstdint>
#include <ctime>
#include <filesystem>

namespace zelk {

// Packs a broken-down local time as an MS-DOS date and time: the date in the
// high 16 bits (years since 1980, month, day), the time in the low 16 bits
// (hour, minute, seconds halved). Returns -1 for a date outside 1980..2107,
// which the packed form cannot hold.
std::int32_t PackDosDateTime(const std::tm& local);

// The file's last-write time in local time, packed by PackDosDateTime, so two
// writes within the same two-second step give equal stamps. A missing file,
// a folder, anything else that is not a regular file, or a time that cannot
// be converted gives -1. Never throws.
std::int32_t FileTimeStamp(const std::filesystem::path& file);

}  // namespace zelk
