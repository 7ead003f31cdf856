#pragma once
// Windows-1251 text, the core's own encoding, and its conversion at the edges.
#include <string>
#include <string_view>

namespace zelk {

// Every byte has a UTF-8 form; the one unassigned byte (0x98) becomes U+FFFD.
std::string Cp1251ToUtf8(std::string_view text);

// Converts UTF-8 to Windows-1251. Returns false (out unspecified) when the
// text is not valid UTF-8 or holds a character that Windows-1251 lacks.
bool Utf8ToCp1251(std::string_view utf8, std::string& out);

// For literals in our own sources that are known to convert; throws
// std::invalid_argument otherwise.
std::string W(std::string_view utf8);

// Lower-casing that knows the Cyrillic letters of Windows-1251 (А-Я, Ё, Ђ...)
// as well as ASCII.
char LowerCp1251(char c);
std::string LowerCp1251(std::string_view text);

}  // namespace zelk
