// Journal lines as any bytes: a line either is refused or gives a variant
// that is written and read back as the same. Inputs starting with "#" are
// also read as a journal file (a file per input is slow, and the line
// parser is what most inputs are for).
#include <cstddef>
#include <cstdint>

#include "fuzzsupport.h"
#include "library/journal.h"

namespace {

bool Same(const zelk::TVariant& a, const zelk::TVariant& b) {
    return a.Number == b.Number && a.Time == b.Time && a.Seed == b.Seed && a.Data == b.Data && a.Comment == b.Comment &&
           a.Hashes == b.Hashes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    for (std::string_view line : zelk::fuzz::Pieces(input)) {
        const auto v = zelk::ParseVariant(line);
        if (!v) continue;
        const auto again = zelk::ParseVariant(zelk::FormatVariant(*v));
        if (!again || !Same(*v, *again)) __builtin_trap();
    }
    if (input.empty() || input.front() != '#') return 0;
    const std::filesystem::path file = zelk::fuzz::ScratchFolder() / "zelk-journal.txt";
    zelk::fuzz::WriteWhole(file, input);
    const zelk::TJournal journal(file);
    const auto first = zelk::ParseVariant(input.substr(0, input.find('\n')));
    for (const auto& v : journal.Variants(first ? first->Number : 1))
        if (!zelk::ParseVariant(zelk::FormatVariant(v))) __builtin_trap();
    return 0;
}
