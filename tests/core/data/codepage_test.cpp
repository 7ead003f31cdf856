#include "data/codepage.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace zelk {
namespace {

// Bytes 0x80..0xFF of Windows-1251 as UTF-8, written out independently of
// the code's table; "\uFFFD" stands for the one unassigned byte 0x98.
const char* const kHighHalf =
    "ЂЃ‚ѓ„…†‡€‰Љ‹ЊЌЋЏ"
    "ђ‘’“”•–—\uFFFD™љ›њќћџ"
    "\u00A0ЎўЈ¤Ґ¦§Ё©Є«¬\u00AD®Ї"
    "°±Ііґµ¶·ё№є»јЅѕї"
    "АБВГДЕЖЗИЙКЛМНОП"
    "РСТУФХЦЧШЩЪЫЬЭЮЯ"
    "абвгдежзийклмноп"
    "рстуфхцчшщъыьэюя";

std::string AllBytes(int from, int to) {
    std::string s;
    for (int b = from; b <= to; ++b) s += static_cast<char>(b);
    return s;
}

TEST(CodePage, EveryByteToUtf8) {
    std::string ascii = AllBytes(0, 0x7F);
    EXPECT_EQ(Cp1251ToUtf8(ascii), ascii);
    EXPECT_EQ(Cp1251ToUtf8(AllBytes(0x80, 0xFF)), kHighHalf);
    EXPECT_EQ(Cp1251ToUtf8(""), "");
}

TEST(CodePage, Utf8BackToEveryAssignedByte) {
    std::string out;
    EXPECT_FALSE(Utf8ToCp1251(kHighHalf, out));  // U+FFFD has no byte
    const std::string assigned = AllBytes(0, 0x97) + AllBytes(0x99, 0xFF);
    ASSERT_TRUE(Utf8ToCp1251(Cp1251ToUtf8(assigned), out));
    EXPECT_EQ(out, assigned);
    ASSERT_TRUE(Utf8ToCp1251("Цель №1 «Мост» — Ёё", out));
    EXPECT_EQ(out,
              "\xD6\xE5\xEB\xFC \xB9"
              "1 \xAB\xCC\xEE\xF1\xF2\xBB \x97 \xA8\xB8");
}

TEST(CodePage, RejectsInvalidOrForeignText) {
    std::string out;
    EXPECT_FALSE(Utf8ToCp1251("\xC3\xA4", out));  // ä: not in Windows-1251
    EXPECT_FALSE(Utf8ToCp1251("日本", out));
    EXPECT_FALSE(Utf8ToCp1251("\xD0", out));              // cut sequence
    EXPECT_FALSE(Utf8ToCp1251("\xD0\x41", out));          // bad continuation
    EXPECT_FALSE(Utf8ToCp1251("\xC0\xAF", out));          // overlong '/'
    EXPECT_FALSE(Utf8ToCp1251("\xE0\x80\xAF", out));      // overlong '/'
    EXPECT_FALSE(Utf8ToCp1251("\xED\xA0\x80", out));      // surrogate
    EXPECT_FALSE(Utf8ToCp1251("\xF4\x90\x80\x80", out));  // past U+10FFFF
    EXPECT_FALSE(Utf8ToCp1251("\x80", out));
    EXPECT_FALSE(Utf8ToCp1251("\xFF", out));
    EXPECT_THROW(W("\xC3\xA4"), std::invalid_argument);
    EXPECT_EQ(W("Я"), "\xDF");
}

TEST(CodePage, LowerCaseKnowsCyrillic) {
    EXPECT_EQ(Cp1251ToUtf8(LowerCp1251(W("ШТУРМОВКА Ёлка ABC xyz 123"))), "штурмовка ёлка abc xyz 123");
    // The other capitals of the upper half and their small letters.
    const std::string upper = W("ЂЃЉЊЌЋЏЎЈҐЁЄЇІЅАБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ");
    const std::string lower = W("ђѓљњќћџўјґёєїіѕабвгдежзийклмнопрстуфхцчшщъыьэюя");
    EXPECT_EQ(LowerCp1251(upper), lower);
    EXPECT_EQ(LowerCp1251(lower), lower);
    // Everything else stays.
    const std::string others = W("№«»—–‚„…†‡€‰‹›™¤¦§©¬®°±µ¶·") + AllBytes(0, 0x40) + AllBytes(0x5B, 0x7F) + "\x98";
    EXPECT_EQ(LowerCp1251(others), others);
    EXPECT_EQ(LowerCp1251('\xC0'), '\xE0');
    EXPECT_EQ(LowerCp1251('\xA8'), '\xB8');
    EXPECT_EQ(LowerCp1251('Q'), 'q');
}

}  // namespace
}  // namespace zelk
