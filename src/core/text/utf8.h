#pragma once
// The one UTF-8 codec of the programs: every text at their edges is UTF-8,
// and a malformed sequence is told, never guessed at.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zelk {

// The valid UTF-8 sequence at `at`: its code point, with its length in
// `length`; -1 for a malformed, overlong or surrogate sequence or one beyond
// U+10FFFF (`length` then unspecified).
std::int32_t DecodeUtf8At(std::string_view text, std::size_t at, std::size_t& length);

// Appends the UTF-8 form of a code point up to U+10FFFF.
void AppendUtf8(std::string& out, char32_t c);

}  // namespace zelk
