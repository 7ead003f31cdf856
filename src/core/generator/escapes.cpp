#include "generator/escapes.h"

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
    std::string out;
    out.reserve(text.size());
    // The byte after the end of the text reads as zero.
    const auto at = [&](std::size_t i) { return i < text.size() ? text[i] : '\0'; };
    // Characters from i on, no more than n, and none past the end.
    const auto piece = [&](std::size_t i, std::size_t n) {
        return i < text.size() ? text.substr(i, n) : std::string_view();
    };
    std::size_t p = 0;
    while (p < text.size()) {
        if (text[p] != '\\') {
            out += text[p];
            ++p;
            continue;
        }
        const char kind = at(p + 1);
        if (kind == '\\') {
            // A written backslash. Earlier files held two in a row only where
            // a pilot had typed them, and those never read back as typed.
            out += '\\';
            p += 2;
        } else if (kind == 'n') {
            out += "\r\n";
            p += 2;
        } else if (kind == 't') {
            out += '\t';
            p += 2;
        } else {
            // Any other letter after the backslash starts an escape; it is
            // not examined. Only the last two digits carry the letter.
            const std::string_view digits = piece(p + 2, 4);
            if (digits == "0020") {
                out += ' ';
            } else if (digits == "0401") {
                out += static_cast<char>(kCapitalYo);
            } else if (digits == "0451") {
                out += static_cast<char>(kSmallYo);
            } else {
                const std::string_view low = digits.size() > 2 ? digits.substr(2, 2) : std::string_view();
                out += static_cast<char>((HexToInt(low) + 0xB0) & 0xFF);
            }
            p += 6;
        }
    }
    return out;
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
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (i + 1 == text.size()) {
            // The last byte belongs to the last word, even a delimiter.
            word += c;
            return static_cast<int>(count) == static_cast<int>(n) - 1 ? word : std::string();
        }
        if (delimiters.find(c) != std::string_view::npos) {
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
