// Texts for a person: the placeholders and the translation hook.
#include "text/tr.h"

#include <gtest/gtest.h>

#include <cstring>

namespace zelk {
namespace {

TEST(Fill, OnePassInAnyOrder) {
    const struct {
        const char* Pattern;
        std::initializer_list<std::string_view> Values;
        const char* Expected;
    } cases[] = {
        {"%2 before %1", {"a", "b"}, "b before a"},
        {"%1", {"%2"}, "%2"},                  // a value is never filled again
        {"%1 and %3", {"a"}, "a and %3"},      // a placeholder without a value stays
        {"100% of %1%", {"x"}, "100% of x%"},  // a lone "%" stays
    };
    for (const auto& c : cases) EXPECT_EQ(Fill(c.Pattern, c.Values), c.Expected) << c.Pattern;
}

std::string English(const char* context, const char* text) {
    if (std::strcmp(context, "t") != 0) return {};
    return std::strcmp(text, "да") == 0 ? "yes" : "";
}

TEST(Tr, AnEmptyTranslationKeepsTheSourceAndSourceTextsLastTheirScope) {
    const TTranslateHook before = CurrentTranslateHook();
    SetTranslateHook(&English);
    EXPECT_EQ(Tr("t", "да"), "yes");
    EXPECT_EQ(Tr("t", "нет"), "нет");
    EXPECT_EQ(Tr("other", "да"), "да");
    {
        const TSourceTexts json;
        EXPECT_EQ(Tr("t", "да"), "да");
    }
    EXPECT_EQ(Tr("t", "да"), "yes");
    SetTranslateHook(before);
}

}  // namespace
}  // namespace zelk
