#include "core/common/Json.h"

#include <gtest/gtest.h>

namespace {

TEST(JsonTest, QuotesHostileTextSafely)
{
    const struct
    {
        std::string text;
        std::string json;
    } rows[] = {
        {"", R"("")"},
        {"plain text", R"("plain text")"},
        {R"(quote " and backslash \)", R"("quote \" and backslash \\")"},
        {"line\r\nbreak\ttab", R"("line\r\nbreak\ttab")"},
        {"</script><b>&amp;", R"("\u003c/script\u003e\u003cb\u003e\u0026amp;")"},
        {std::string("nul\0byte", 8), R"("nul\u0000byte")"},
        {"\x01\x1f\x7f", R"("\u0001\u001f\u007f")"},
        {"caf\xC3\xA9 \xE6\x96\x87 \xF0\x9F\x98\x80",
            "\"caf\xC3\xA9 \xE6\x96\x87 \xF0\x9F\x98\x80\""},
        {"sep\xE2\x80\xA8par\xE2\x80\xA9", R"("sep\u2028par\u2029")"},
        {"bad \xFF byte", R"("bad \ufffd byte")"},
        {"cut \xE6\x96", R"("cut \ufffd\ufffd")"},
        {"overlong \xC0\xAF", R"("overlong \ufffd\ufffd")"},
        {"surrogate \xED\xA0\x80", R"("surrogate \ufffd\ufffd\ufffd")"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.json);
        EXPECT_EQ(JsonQuote(row.text), row.json);
    }
}

} // namespace
