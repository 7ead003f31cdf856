// The one UTF-8 codec: what it takes whole and what it refuses.
#include "text/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace zelk {
namespace {

TEST(Utf8, DecodesEachLengthAndRefusesWhatIsNotUtf8) {
    const struct {
        const char* Bytes;
        std::int32_t Code;
        std::size_t Length;  // checked for a valid sequence only
    } cases[] = {
        {"A", 'A', 1},
        {"\xD0\xAF", 0x42F, 2},
        {"\xE2\x80\x94", 0x2014, 3},
        {"\xF0\x9F\x98\x80", 0x1F600, 4},
        {"\xF4\x8F\xBF\xBF", 0x10FFFF, 4},
        {"\xC1\xBF", -1, 0},          // overlong
        {"\xE0\x9F\xBF", -1, 0},      // overlong
        {"\xED\xA0\x80", -1, 0},      // surrogate
        {"\xF4\x90\x80\x80", -1, 0},  // past U+10FFFF
        {"\xF5\x80\x80\x80", -1, 0},
        {"\xD0", -1, 0},  // cut short
        {"\xE2\x80", -1, 0},
        {"\xD0\x41", -1, 0},  // not a continuation
        {"\x80", -1, 0},
    };
    for (const auto& c : cases) {
        const std::string bytes = c.Bytes;
        std::size_t length = 0;
        EXPECT_EQ(DecodeUtf8At(bytes, 0, length), c.Code) << bytes;
        if (c.Code < 0) continue;
        EXPECT_EQ(length, c.Length) << bytes;
        std::string back;
        AppendUtf8(back, static_cast<char32_t>(c.Code));
        EXPECT_EQ(back, bytes);
    }
    std::size_t length = 0;
    EXPECT_EQ(DecodeUtf8At("x\xD0\xAF", 1, length), 0x42F);  // from the middle of a text
}

}  // namespace
}  // namespace zelk
