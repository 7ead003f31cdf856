#pragma once
// The small text rules the read-back of a mission's files follows: blanks,
// prefixes and numbers as our writer writes them, and nothing else.
#include <string_view>

namespace zelk::readback {

inline bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Control characters and blanks off both ends.
inline std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

inline bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }
inline bool Contains(std::string_view s, std::string_view part) { return s.find(part) != std::string_view::npos; }

// Whole text as an integer (an optional sign, then digits), in range.
bool ParseInt(std::string_view s, long long low, long long high, long long& out);

// Whole text as a decimal number, truncated toward zero, in range.
bool ParseTruncated(std::string_view s, long long low, long long high, long long& out);

inline char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }
}  // namespace zelk::readback
