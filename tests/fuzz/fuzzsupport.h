#pragma once
// Helpers of the fuzz targets that work on real files: a scratch folder of
// the process, inputs cut into pieces, and whole-file writes.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace zelk::fuzz {

// A folder of this process under the temporary folder, made once and
// removed when the run ends normally (a crash leaves it for a look).
inline const std::filesystem::path& ScratchFolder() {
    static const std::filesystem::path folder = [] {
        std::filesystem::path p =
            std::filesystem::temp_directory_path() / ("zelk-fuzz-" + std::to_string(static_cast<long>(::getpid())));
        std::filesystem::remove_all(p);
        std::filesystem::create_directories(p);
        return p;
    }();
    static const bool cleaned = std::atexit([] {
                                    std::error_code ec;
                                    std::filesystem::remove_all(ScratchFolder(), ec);
                                }) == 0;
    (void)cleaned;
    return folder;
}

// The input cut at every "\n--8<--\n", so that seeds stay readable.
inline std::vector<std::string_view> Pieces(std::string_view input) {
    constexpr std::string_view kCut = "\n--8<--\n";
    std::vector<std::string_view> pieces;
    for (;;) {
        const std::size_t at = input.find(kCut);
        pieces.push_back(input.substr(0, at));
        if (at == std::string_view::npos) return pieces;
        input.remove_prefix(at + kCut.size());
    }
}

inline void WriteWhole(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) std::abort();  // the scratch folder itself failing is no finding
}

}  // namespace zelk::fuzz
