#include "core/common/Text.h"

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

TEST(TextTest, IsValidUtf8RefusesEveryMalformedSequence)
{
    const struct
    {
        const char* label;
        std::string bytes;
        bool valid;
    } rows[] = {
        {"ASCII", "plain \x01 text", true},
        {"two, three and four bytes", "\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8C\xBF", true},
        {"the highest code point", "\xF4\x8F\xBF\xBF", true},
        {"a NUL byte", std::string("a\0b", 3), true},
        {"windows-1252 accent", "caf\xE9", false},
        {"stray continuation byte", "\x80", false},
        {"overlong slash", "\xC0\xAF", false},
        {"overlong three bytes", "\xE0\x80\xAF", false},
        {"overlong four bytes", "\xF0\x80\x80\xAF", false},
        {"surrogate", "\xED\xA0\x80", false},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", false},
        {"lead byte F5", "\xF5\x80\x80\x80", false},
        {"cut at the end", "\xE2\x82", false},
        {"missing continuation", "\xE2\x28\xA1", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        EXPECT_EQ(IsValidUtf8(row.bytes), row.valid);
    }
}

TEST(TextTest, Windows1252ConvertsEveryByte)
{
    EXPECT_EQ(Windows1252ToUtf8("a\x80\x81\x8D\x8F\x90\x9D\x9F\xA0\xFF"),
        "a\xE2\x82\xAC\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D\xC5\xB8\xC2\xA0\xC3\xBF");
    std::string all;
    for (int byte = 0; byte < 256; ++byte)
        all += static_cast<char>(byte);
    EXPECT_TRUE(IsValidUtf8(Windows1252ToUtf8(all)));
}

} // namespace
