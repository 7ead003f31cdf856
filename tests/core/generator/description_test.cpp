// The description file's comment rule and its one-line values. Whole files
// are compared in writer_test.
#include "generator/description.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "data/codepage.h"

namespace zelk {
namespace {

TEST(CommentText, JoinsLinesWithWrittenBreaks) {
    EXPECT_EQ(CommentText({}), "");
    EXPECT_EQ(CommentText({""}), "");
    EXPECT_EQ(CommentText({"a", "b"}), "a\\nb");
    EXPECT_EQ(CommentText({"", ""}), "\\n");
    EXPECT_EQ(CommentText({"a", ""}), "a\\n");
    // A real break inside a line would end the file's line early.
    EXPECT_EQ(CommentText({"a\r\nb\rc\nd"}), "a\\nb\\nc\\nd");
}

TEST(DescriptionFileBytes, ThreeLinesWhateverTheValuesHold) {
    const std::string bytes = DescriptionFileBytes(W("Ё\nё"), "s\r\n%d", "c");
    EXPECT_EQ(bytes, "Name \\u0401\\n\\u0451\r\nShort s\\n%d\r\nDescription s\\n%dc\r\n");
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 3);
}

}  // namespace
}  // namespace zelk
