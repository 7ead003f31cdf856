// The description-file text routines and the code-page conversion over
// arbitrary bytes: none may read outside its input, and the round trips that
// must hold do hold.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "data/codepage.h"
#include "generator/escapes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const std::string decoded = zelk::DecodeUnicodeEscapes(text);
    if (decoded.size() > text.size() * 2) __builtin_trap();  // CR LF is the only growth
    (void)zelk::ExpandLineBreaks(text);
    if (size > 0) {
        (void)zelk::ExtractWordN(static_cast<std::uint8_t>(data[0]), text.substr(1), " ,");
        (void)zelk::HexToInt(text.substr(0, 4));
    }

    // Any text written with its backslashes doubled reads back as it was.
    if (zelk::DecodeUnicodeEscapes(zelk::EncodeUnicodeEscapes(zelk::EscapeBackslashes(text))) != text) __builtin_trap();
    if (zelk::ExpandLineBreaks(zelk::EscapeBackslashes(text)) != text) __builtin_trap();

    // Without a backslash, decoding the encoded text gives it back.
    std::string plain(text);
    std::erase(plain, '\\');
    if (zelk::DecodeUnicodeEscapes(zelk::EncodeUnicodeEscapes(plain)) != plain) __builtin_trap();

    // Every byte but the unassigned 0x98 survives the trip through UTF-8.
    std::erase(plain, '\x98');
    std::string back;
    if (!zelk::Utf8ToCp1251(zelk::Cp1251ToUtf8(plain), back) || back != plain) __builtin_trap();
    // And arbitrary input as UTF-8 is either converted or refused, nothing else.
    (void)zelk::Utf8ToCp1251(text, back);
    (void)zelk::LowerCp1251(text);
    return 0;
}
