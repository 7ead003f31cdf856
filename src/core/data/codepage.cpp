#include "data/codepage.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <stdexcept>

#include "text/utf8.h"

namespace zelk {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Code points of the bytes 0x80..0xBF; 0x00..0x7F are ASCII and 0xC0..0xFF
// are U+0410..U+044F.
constexpr std::array<char32_t, 64> kHighTable = {
    0x0402,       0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC,       0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452,       0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    kReplacement, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0,       0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401,       0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0,       0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451,       0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

struct TTables {
    std::array<char32_t, 256> toUnicode{};
    std::array<std::uint8_t, 256> lower{};
    // Each byte's UTF-8 form and its length, so that a conversion does no
    // arithmetic per byte.
    std::array<std::array<char, 4>, 256> utf8{};
    std::array<std::uint8_t, 256> utf8Length{};
};

char32_t LowerCodePoint(char32_t cp) {
    if (cp >= U'A' && cp <= U'Z') return cp + 0x20;
    if (cp >= 0x0400 && cp <= 0x040F) return cp + 0x50;  // Ѐ..Џ -> ѐ..џ
    if (cp >= 0x0410 && cp <= 0x042F) return cp + 0x20;  // А..Я -> а..я
    if (cp == 0x0490) return 0x0491;                     // Ґ -> ґ
    return cp;
}

TTables MakeTables() {
    TTables t;
    for (int b = 0; b < 256; ++b) {
        if (b < 0x80)
            t.toUnicode[b] = static_cast<char32_t>(b);
        else if (b < 0xC0)
            t.toUnicode[b] = kHighTable[b - 0x80];
        else
            t.toUnicode[b] = static_cast<char32_t>(0x0410 + (b - 0xC0));
    }
    for (int b = 0; b < 256; ++b) {
        std::string form;
        AppendUtf8(form, t.toUnicode[b]);
        std::copy(form.begin(), form.end(), t.utf8[b].begin());
        t.utf8Length[b] = static_cast<std::uint8_t>(form.size());
    }
    // Lower-case by code point, then back to the byte that holds the result.
    for (int b = 0; b < 256; ++b) {
        t.lower[b] = static_cast<std::uint8_t>(b);
        const char32_t target = LowerCodePoint(t.toUnicode[b]);
        if (target == t.toUnicode[b]) continue;
        for (int l = 0; l < 256; ++l) {
            if (t.toUnicode[l] == target) {
                t.lower[b] = static_cast<std::uint8_t>(l);
                break;
            }
        }
    }
    return t;
}

const TTables& Tables() {
    static const TTables tables = MakeTables();
    return tables;
}

// Decodes one UTF-8 character at pos; false for any malformed, overlong or
// surrogate sequence.
bool NextCodePoint(std::string_view s, std::size_t& pos, char32_t& cp) {
    std::size_t length = 0;
    const std::int32_t c = DecodeUtf8At(s, pos, length);
    if (c < 0) return false;
    cp = static_cast<char32_t>(c);
    pos += length;
    return true;
}

}  // namespace

std::string Cp1251ToUtf8(std::string_view text) {
    const TTables& t = Tables();
    std::size_t length = 0;
    for (const char c : text) length += t.utf8Length[static_cast<unsigned char>(c)];
    std::string out(length, '\0');
    char* o = out.data();
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (t.utf8Length[b] == 1) {
            *o++ = c;
        } else {
            std::memcpy(o, t.utf8[b].data(), t.utf8Length[b]);
            o += t.utf8Length[b];
        }
    }
    return out;
}

bool Utf8ToCp1251(std::string_view utf8, std::string& out) {
    const auto& table = Tables().toUnicode;
    out.clear();
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t cp;
        if (!NextCodePoint(utf8, pos, cp)) return false;
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp >= 0x0410 && cp <= 0x044F) {
            out += static_cast<char>(0xC0 + (cp - 0x0410));
        } else {
            // The replacement character stands for the unassigned byte only
            // on the way out; Windows-1251 has no such character.
            int found = -1;
            if (cp != kReplacement) {
                for (int b = 0x80; b < 0xC0; ++b) {
                    if (table[b] == cp) {
                        found = b;
                        break;
                    }
                }
            }
            if (found < 0) return false;
            out += static_cast<char>(found);
        }
    }
    return true;
}

std::string W(std::string_view utf8) {
    std::string out;
    if (!Utf8ToCp1251(utf8, out)) throw std::invalid_argument("text has no Windows-1251 form: " + std::string(utf8));
    return out;
}

char LowerCp1251(char c) { return static_cast<char>(Tables().lower[static_cast<unsigned char>(c)]); }

std::string LowerCp1251(std::string_view text) {
    const auto& lower = Tables().lower;
    std::string out(text);
    for (char& c : out) c = static_cast<char>(lower[static_cast<unsigned char>(c)]);
    return out;
}

}  // namespace zelk
