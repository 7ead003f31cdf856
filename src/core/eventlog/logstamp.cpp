#include "eventlog/logstamp.h"

#include <chrono>
#include <system_error>

namespace zelk {

std::int32_t PackDosDateTime(const std::tm& local) {
    const int year = local.tm_year + 1900;
    if (year < 1980 || year > 2107) return -1;
    const std::uint32_t date = (static_cast<std::uint32_t>(year - 1980) << 9) |
                               (static_cast<std::uint32_t>(local.tm_mon + 1) << 5) |
                               static_cast<std::uint32_t>(local.tm_mday);
    const std::uint32_t time = (static_cast<std::uint32_t>(local.tm_hour) << 11) |
                               (static_cast<std::uint32_t>(local.tm_min) << 5) |
                               static_cast<std::uint32_t>(local.tm_sec / 2);
    // Dates from 2044 on set the top bit; the stamp is only ever compared for
    // equality, and no valid date packs to -1 (that would need month 15).
    return static_cast<std::int32_t>((date << 16) | time);
}

std::int32_t FileTimeStamp(const std::filesystem::path& file) {
    std::error_code ec;
    const auto status = std::filesystem::status(file, ec);
    if (ec || !std::filesystem::is_regular_file(status)) return -1;
    const auto written = std::filesystem::last_write_time(file, ec);
    if (ec) return -1;
    const auto sys = std::chrono::file_clock::to_sys(written);
    const std::time_t seconds = std::chrono::system_clock::to_time_t(std::chrono::floor<std::chrono::seconds>(sys));
    std::tm local{};
#ifdef _WIN32
    if (localtime_s(&local, &seconds) != 0) return -1;
#else
    if (localtime_r(&seconds, &local) == nullptr) return -1;
#endif
    return PackDosDateTime(local);
}

}  // namespace zelk
