// zelk-pack's object block text as any bytes: read back or refused with a
// TFileError, and what is read survives being written and read again.
#include <cstddef>
#include <cstdint>

#include "blocktext.h"
#include "files/error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> lines;
    try {
        lines = zelk::pack::BlockFromText(text, "blocks/x.txt");
    } catch (const zelk::TFileError&) {
        return 0;
    }
    for (const auto& line : lines)
        if (line.find_first_of("\x07\x04") != std::string::npos) __builtin_trap();
    if (zelk::pack::BlockFromText(zelk::pack::BlockToText(lines), "blocks/x.txt") != lines) __builtin_trap();
    return 0;
}
