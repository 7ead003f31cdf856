// The event-log examination over a log that grows, is cut and is replaced as
// the input says. The first byte picks keep or not; each following piece is
// one step: its first byte the kind, the rest the bytes. Whatever came
// before, a clean flight written after it must be seen and saved once.
#include <cstddef>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <iterator>
#include <string>

#include "fuzzsupport.h"
#include "eventlog/logexaminer.h"

namespace {

namespace fs = std::filesystem;

std::size_t Count(std::string_view text, std::string_view what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string_view::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

std::string ReadWhole(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const fs::path log = zelk::fuzz::ScratchFolder() / "eventlog.lst";
    const fs::path spare = zelk::fuzz::ScratchFolder() / "eventlog.new";
    fs::remove(log);
    const bool keep = (data[0] & 1) != 0;
    const auto pieces = zelk::fuzz::Pieces(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));

    // Each step gets its own two-second stamp, so every change is looked at.
    const auto base = fs::file_time_type::clock::now() - std::chrono::hours(1);
    int tick = 0;
    auto stamp = [&] { fs::last_write_time(log, base + std::chrono::seconds(2 * ++tick)); };
    auto append = [&](std::string_view bytes) {
        std::ofstream out(log, std::ios::binary | std::ios::app);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        stamp();
    };

    std::string playing;
    int saved = 0;
    const zelk::TLogActions actions{[](const std::string& name) { return name == "zelk0001.mis"; },
                                    [&](const std::string&) { ++saved; }};
    zelk::TLogExaminer examiner(log, keep, playing);
    std::string seen;  // the log as the last examination found it
    auto check = [&] {
        const zelk::TCheckOutcome out = examiner.CheckLog(actions);
        const std::string text = ReadWhole(log);
        seen = text;
        if (examiner.LogPos() < 0 || examiner.LogPos() > static_cast<std::int64_t>(text.size())) __builtin_trap();
        if (static_cast<std::size_t>(out.Saved + out.Ignored) > Count(text, "Mission END")) __builtin_trap();
        if (static_cast<std::size_t>(out.Started) > Count(text, "is Playing")) __builtin_trap();
        return out;
    };

    for (const std::string_view piece : pieces) {
        if (piece.empty()) continue;
        const std::string_view bytes = piece.substr(1);
        switch (static_cast<std::uint8_t>(piece[0]) % 4) {
            case 0:
                append(bytes);
                break;
            case 1:  // a new log put in place of the old one
                zelk::fuzz::WriteWhole(spare, bytes);
                fs::rename(spare, log);
                stamp();
                break;
            case 2:  // cut to a length
                if (fs::exists(log)) {
                    fs::resize_file(log, std::min<std::uintmax_t>(fs::file_size(log), bytes.size()));
                    stamp();
                }
                break;
            default:
                check();
        }
    }

    append("\r\n[12:00:01] Mission: Missions/Single/NN/ZELK/zelk0001.mis is Playing\r\n");
    const std::string earlier = seen;
    const zelk::TCheckOutcome out = check();
    if (!examiner.Playing() || playing != "zelk0001.mis") __builtin_trap();
    // The start line may go unseen only where the log, up to where reading
    // goes on, holds the very bytes read before: that line was seen then.
    const auto pos = static_cast<std::size_t>(examiner.LogPos());
    if (out.Started < 1 && seen.compare(0, pos, earlier, 0, pos) != 0) __builtin_trap();
    const int before = saved;
    append("[12:05:00] Mission END\r\n");
    check();
    if (saved != before + 1) __builtin_trap();
    return 0;
}
