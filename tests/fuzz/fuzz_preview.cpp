// The route preview reads any mission file a pilot or another program left in
// the folder, and the journal any line a crash or an editor left: neither may
// crash, hang or read outside its input. The bytes are both a mission file
// and, line by line, journal lines.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "library/journal.h"
#include "preview/drawing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const zelk::TSortie sortie = zelk::ReadSortie(text);
    const zelk::TDrawing drawing = zelk::DrawSortie(sortie, text.substr(0, 40), 276, 206);
    (void)zelk::DrawingToSvg(drawing);

    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        if (const auto v = zelk::ParseVariant(text.substr(pos, end - pos))) {
            // What parses formats back to the same line.
            const auto again = zelk::ParseVariant(zelk::FormatVariant(*v));
            if (!again || again->Seed != v->Seed || !(again->Data == v->Data) || again->Comment != v->Comment)
                __builtin_trap();
        }
        pos = end + 1;
    }
    return 0;
}
