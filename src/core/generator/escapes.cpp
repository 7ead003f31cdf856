#include "generator/escapes.h"

#include <algorithm>

namespace zelk {

namespace {

// Cyrillic letters of Windows-1251 that the description files escape.
constexpr unsigned char kCapitalYo = 0xA8;
constexpr unsigned char kSmallYo = 0xB8;
constexpr unsigned kCyrillicShift = 0x350;  // byte C0..FF -> U+0410..U+044F

}  // namespace

std::string WordToHex4(std::uint16_t value) {
    std::string out(4, '0');
    for (int i = 3; i >= 0; --i) {
        out[static_cast<std::size_t>(i)] = HexDigits[value & 0xF];
        value = static_cast<std::uint16_t>(value >> 4);
    }
    return out;
}

int HexDigitValue(char c) {
    // Computed, not looked up: reading descriptions back decodes every escape.
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 0;
}

int HexToInt(std::string_view digits) {
    // Unsigned so that an over-long input wraps instead of overflowing.
    unsigned value = 0;
    for (const char c : digits) value = value * 16 + static_cast<unsigned>(HexDigitValue(c));
    return static_cast<int>(value);
}

std::string EncodeUnicodeEscapes(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0xC0)
            out += "\\u" + WordToHex4(static_cast<std::uint16_t>(b + kCyrillicShift));
        else if (b == kCapitalYo)
            out += "\\u0401";
        else if (b == kSmallYo)
            out += "\\u0451";
        else
            out += c;
    }
    return out;
}

std::string DecodeUnicodeEscapes(std::string_view text) {
    bool whole = true;
    return DecodeUnicodeEscapes(text, whole);
}

std::string DecodeUnicodeEscapes(std::string_view text, bool& whole) {
    whole = true;
    // Decoding never lengthens a text, so it goes into a buffer of the
    // input's size and the result is allocated once at its own size: the
    // read-back decodes three lines of every description and keeps them
    // all. The usual line fits on the stack. Not a buffer kept by the
    // thread: MinGW's static runtime frees thread-local storage before the
    // destructors of its objects run, which corrupted the heap.
    char local[4096];
    std::string large;
    if (text.size() > sizeof local) large.resize(text.size());
    char* const begin = large.empty() ? local : large.data();
    char* o = begin;
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end) {
        if (*p != '\\') {
            *o++ = *p++;
            continue;
        }
        const std::size_t left = static_cast<std::size_t>(end - p);
        // The byte after the end of the text reads as zero.
        const char kind = left > 1 ? p[1] : '\0';
        if (kind == '\\') {
            // A written backslash. Earlier files held two in a row only where
            // a pilot had typed them, and those never read back as typed.
            *o++ = '\\';
            p += 2;
        } else if (kind == 'n') {
            *o++ = '\r';
            *o++ = '\n';
            p += 2;
        } else if (kind == 't') {
            *o++ = '\t';
            p += 2;
        } else {
            // Any other letter after the backslash starts an escape; it is
            // not examined. Only the last two digits carry the letter; the
            // digits end with the text.
            const std::string_view digits =
                left > 2 ? std::string_view(p + 2, std::min<std::size_t>(4, left - 2)) : std::string_view();
            if (digits.size() == 4 && digits[0] == '0' && digits[1] == '4' && digits != "0401" && digits != "0451") {
                // A letter А..я, nearly every escape there is.
                *o++ = static_cast<char>((HexDigitValue(digits[2]) * 16 + HexDigitValue(digits[3]) + 0xB0) & 0xFF);
            } else if (digits == "0020") {
                *o++ = ' ';
            } else if (digits == "0401") {
                *o++ = static_cast<char>(kCapitalYo);
            } else if (digits == "0451") {
                *o++ = static_cast<char>(kSmallYo);
            } else {
                const std::string_view low = digits.size() > 2 ? digits.substr(2, 2) : std::string_view();
                *o++ = static_cast<char>((HexToInt(low) + 0xB0) & 0xFF);
            }
            if (left < 6) whole = false;
            p += std::min<std::size_t>(6, left);
        }
    }
    return std::string(begin, o);
}

std::string EscapeBackslashes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == '\\') out += '\\';
        out += c;
    }
    return out;
}

std::string ExpandLineBreaks(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (text[i] == '\\' && next == 'n') {
            out += "\r\n";
            ++i;
        } else if (text[i] == '\\' && next == '\\') {
            out += '\\';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string ExtractWordN(std::uint8_t n, std::string_view text, std::string_view delimiters) {
    std::string word;
    // The count of delimiters passed is a byte: it wraps after 255.
    std::uint8_t count = 0;
    // One delimiter is the usual case (route lines read back): compared
    // directly rather than searched for at every byte.
    const bool single = delimiters.size() == 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (i + 1 == text.size()) {
            // The last byte belongs to the last word, even a delimiter.
            word += c;
            return static_cast<int>(count) == static_cast<int>(n) - 1 ? word : std::string();
        }
        if (single ? c == delimiters[0] : delimiters.find(c) != std::string_view::npos) {
            ++count;
            if (count == n) return word;
            word.clear();
        } else {
            word += c;
        }
    }
    return {};
}

}  // namespace zelk
