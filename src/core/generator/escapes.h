#pragma once
// Text routines of the description files and the mission read-back. All are
// pure functions over Windows-1251 bytes and never read past their input.
#include <cstdint>
#include <string>
#include <string_view>

namespace zelk {

inline constexpr std::string_view HexDigits = "0123456789ABCDEF";

// Exactly four upper-case hexadecimal digits.
std::string WordToHex4(std::uint16_t value);
// Position of c in HexDigits; 0 for anything else (lower-case a-f included).
int HexDigitValue(char c);
int HexToInt(std::string_view digits);

// Cyrillic letters (C0-FF, A8, B8) become \uXXXX; every other byte is kept,
// a backslash too: texts that may hold one go through EscapeBackslashes first.
std::string EncodeUnicodeEscapes(std::string_view text);
// \\ gives one backslash, \n CR LF, \t a tab, \<any>XXXX an escaped letter.
std::string DecodeUnicodeEscapes(std::string_view text);
// The same; `whole` is set when no escape runs past the end of the text, so
// that this text followed by any other decodes as the two decoded apart.
std::string DecodeUnicodeEscapes(std::string_view text, bool& whole);
// Every backslash doubled, so that a typed "\n" or "\u" reads back as typed.
std::string EscapeBackslashes(std::string_view text);
// Every backslash-n pair becomes CR LF and every doubled backslash one.
std::string ExpandLineBreaks(std::string_view text);
// The n-th (from 1) word between single delimiter bytes, or "".
std::string ExtractWordN(std::uint8_t n, std::string_view text, std::string_view delimiters);

}  // namespace zelk
