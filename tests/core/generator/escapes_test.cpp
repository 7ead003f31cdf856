#include "generator/escapes.h"

#include <gtest/gtest.h>

#include <random>

#include "data/codepage.h"

namespace zelk {
namespace {

TEST(MyToolsHex, FourDigitsUpperCaseWithLeadingZeros) {
    EXPECT_EQ(WordToHex4(0), "0000");
    EXPECT_EQ(WordToHex4(0x451), "0451");
    EXPECT_EQ(WordToHex4(0x44F), "044F");
    EXPECT_EQ(WordToHex4(0xFFFF), "FFFF");
    EXPECT_EQ(WordToHex4(0xA0B1), "A0B1");
}

TEST(MyToolsHex, OnlyUpperCaseDigitsCount) {
    EXPECT_EQ(HexDigitValue('0'), 0);
    EXPECT_EQ(HexDigitValue('9'), 9);
    EXPECT_EQ(HexDigitValue('A'), 10);
    EXPECT_EQ(HexDigitValue('F'), 15);
    EXPECT_EQ(HexDigitValue('f'), 0);
    EXPECT_EQ(HexDigitValue('a'), 0);
    EXPECT_EQ(HexDigitValue('G'), 0);
    EXPECT_EQ(HexDigitValue('\0'), 0);
    EXPECT_EQ(HexToInt(""), 0);
    EXPECT_EQ(HexToInt("4F"), 0x4F);
    EXPECT_EQ(HexToInt("4f"), 0x40);
    EXPECT_EQ(HexToInt("FFFF"), 0xFFFF);
    EXPECT_EQ(HexToInt("0451"), 0x451);
}

TEST(MyToolsEncode, EscapesExactlyTheCyrillicLetters) {
    EXPECT_EQ(EncodeUnicodeEscapes(W("Ёлка ё")), "\\u0401\\u043B\\u043A\\u0430 \\u0451");
    EXPECT_EQ(EncodeUnicodeEscapes(W("Цель А")), "\\u0426\\u0435\\u043B\\u044C \\u0410");
    EXPECT_EQ(EncodeUnicodeEscapes(""), "");
    EXPECT_EQ(EncodeUnicodeEscapes("abc = 1\\n"), "abc = 1\\n");
    EXPECT_EQ(EncodeUnicodeEscapes(W("я")), "\\u044F");
    // The other high bytes, CR, LF and the backslash pass unchanged.
    const std::string others = W("№«»—–") + "\r\n\\#!:=" + std::string("\x80\xBF\xA7\x98", 4);
    EXPECT_EQ(EncodeUnicodeEscapes(others), others);
    // Every byte from C0 on: six characters each, code point = byte + 350 hex.
    for (int b = 0xC0; b <= 0xFF; ++b)
        EXPECT_EQ(EncodeUnicodeEscapes(std::string(1, static_cast<char>(b))),
                  "\\u" + WordToHex4(static_cast<std::uint16_t>(b + 0x350)));
}

TEST(MyToolsDecode, EscapesAndLineBreaks) {
    EXPECT_EQ(DecodeUnicodeEscapes("\\u0020"), " ");
    EXPECT_EQ(DecodeUnicodeEscapes("a\\tb"), "a\tb");
    EXPECT_EQ(DecodeUnicodeEscapes("a\\nb"), "a\r\nb");
    EXPECT_EQ(DecodeUnicodeEscapes("\\u0410"), "\xC0");
    EXPECT_EQ(DecodeUnicodeEscapes("\\u0401\\u0451"), "\xA8\xB8");
    EXPECT_EQ(DecodeUnicodeEscapes("\\u044F"), "\xFF");
    EXPECT_EQ(DecodeUnicodeEscapes("\\u0426\\u0435\\u043B\\u044C \\u0410"), W("Цель А"));
    EXPECT_EQ(DecodeUnicodeEscapes(""), "");
}

TEST(MyToolsDecode, OddCases) {
    // Lower-case hex digits read as 0.
    EXPECT_EQ(DecodeUnicodeEscapes("\\u044f"), "\xF0");
    // The letter after the backslash is not examined.
    EXPECT_EQ(DecodeUnicodeEscapes("\\x0410"), "\xC0");
    EXPECT_EQ(DecodeUnicodeEscapes("\\\\0410"), "\\0410");  // but a second backslash is one backslash
    // Only the last two digits count, so other code points give unrelated bytes.
    EXPECT_EQ(DecodeUnicodeEscapes("\\u00E9"), std::string(1, static_cast<char>((0xE9 + 0xB0) & 0xFF)));
    // "0020" is compared before the two-digit rule: "\u1120" is not a blank.
    EXPECT_EQ(DecodeUnicodeEscapes("\\u1120"), "\xD0");
    // Digits missing at the end of the text.
    EXPECT_EQ(DecodeUnicodeEscapes("ab\\"), "ab\xB0");
    EXPECT_EQ(DecodeUnicodeEscapes("x\\u041"), "x\xB1");
    EXPECT_EQ(DecodeUnicodeEscapes("\\u0"), "\xB0");
    EXPECT_EQ(DecodeUnicodeEscapes("\\u04"), "\xB0");
    EXPECT_EQ(DecodeUnicodeEscapes("\\u"), "\xB0");
    // An escape swallows six characters, whatever they are.
    EXPECT_EQ(DecodeUnicodeEscapes("\\u\\n10z"), "\xC0z");
}

TEST(MyToolsDecode, RoundTripOfTextsWithoutBackslash) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        if (b != '\\') all += static_cast<char>(b);
    EXPECT_EQ(DecodeUnicodeEscapes(EncodeUnicodeEscapes(all)), all);

    std::mt19937 rng(12345);
    for (int i = 0; i < 500; ++i) {
        std::string text(rng() % 40, ' ');
        for (char& c : text) {
            do c = static_cast<char>(rng() & 0xFF);
            while (c == '\\');
        }
        ASSERT_EQ(DecodeUnicodeEscapes(EncodeUnicodeEscapes(text)), text);
    }
}

// A typed path or a typed "\n" written into a description file and read back.
TEST(MyToolsDecode, EscapedBackslashesComeBackAsTyped) {
    for (const std::string& text : {std::string("C:\\users\\new\\test"), std::string("\\n\\t\\u0410"),
                                    std::string("\\"), std::string("a\\\\b"), W("Ж\\Ё\\")}) {
        EXPECT_EQ(DecodeUnicodeEscapes(EncodeUnicodeEscapes(EscapeBackslashes(text))), text);
        EXPECT_EQ(ExpandLineBreaks(EscapeBackslashes(text)), text);
    }
}

TEST(MyToolsExpand, BackslashNBecomesCrLf) {
    EXPECT_EQ(ExpandLineBreaks("a\\nb\\n"), "a\r\nb\r\n");
    EXPECT_EQ(ExpandLineBreaks("plain \\t text\\"), "plain \\t text\\");
    EXPECT_EQ(ExpandLineBreaks("\\\\n"), "\\n");  // a doubled backslash, then n
    EXPECT_EQ(ExpandLineBreaks(""), "");
}

TEST(MyToolsWords, SingleDelimitersAndTheLastPosition) {
    const std::string line = "NORMFLY 100.00 200.00 500.00 300.00";
    EXPECT_EQ(ExtractWordN(1, line, " "), "NORMFLY");
    EXPECT_EQ(ExtractWordN(4, line, " "), "500.00");
    EXPECT_EQ(ExtractWordN(5, line, " "), "300.00");
    EXPECT_EQ(ExtractWordN(6, line, " "), "");
    EXPECT_EQ(ExtractWordN(0, line, " "), "");
    EXPECT_EQ(ExtractWordN(2, "a  b", " "), "");
    EXPECT_EQ(ExtractWordN(3, "a  b", " "), "b");
    EXPECT_EQ(ExtractWordN(2, "a b ", " "), "b ");
    EXPECT_EQ(ExtractWordN(1, " a", " "), "");
    EXPECT_EQ(ExtractWordN(2, " a", " "), "a");
    EXPECT_EQ(ExtractWordN(1, "", " "), "");
    EXPECT_EQ(ExtractWordN(1, " ", " "), " ");  // a lone delimiter is the last byte
    EXPECT_EQ(ExtractWordN(2, "a,b;c", ",;"), "b");
    EXPECT_EQ(ExtractWordN(3, "a,b;c", ",;"), "c");
}

TEST(MyToolsWords, DelimiterCountIsOneByte) {
    // 256 delimiters bring the count back to 0, which then matches n = 0.
    std::string text;
    for (int i = 0; i < 256; ++i) text += "w" + std::to_string(i) + " ";
    text += "end";
    EXPECT_EQ(ExtractWordN(0, text, " "), "w255");
    EXPECT_EQ(ExtractWordN(255, text, " "), "w254");
    EXPECT_EQ(ExtractWordN(1, text, " "), "w0");
    EXPECT_EQ(ExtractWordN(0, "a b", " "), "");
}

}  // namespace
}  // namespace zelk
