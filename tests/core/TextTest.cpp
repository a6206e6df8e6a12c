#include "common/Text.h"

#include <gtest/gtest.h>

namespace {

TEST(TextTest, ParseLeadingIntReadsLikeAtoi)
{
    const struct
    {
        const char* text;
        std::int32_t value;
    } rows[] = {
        {"0", 0},
        {"42", 42},
        {"  \t\r\n7", 7},
        {"+5", 5},
        {"-12", -12},
        {"2abc", 2},
        {"abc2", 0},
        {"", 0},
        {"-", 0},
        {" - 3", 0},
        {"007", 7},
        {"2147483647", 2147483647},
        {"2147483648", 2147483647},
        {"99999999999999999999999", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"-99999999999999999999999", -2147483647 - 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(ParseLeadingInt(row.text), row.value);
    }
}

TEST(TextTest, ReplaceAllScansLeftToRightWithoutOverlap)
{
    const struct
    {
        std::string text;
        std::string token;
        std::string replacement;
        std::string result;
    } rows[] = {
        {"aaa", "aa", "b", "ba"},
        {"#x#x#", "#x#", "", "x#"},
        {"xx", "x", "xx", "xxxx"},
        {"abc", "", "z", "abc"},
        {"abc", "d", "z", "abc"},
        {"", "a", "b", ""},
        {"one two one", "one", "1", "1 two 1"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text + " / " + row.token);
        std::string text = row.text;
        ReplaceAll(text, row.token, row.replacement);
        EXPECT_EQ(text, row.result);
    }
}

} // namespace
