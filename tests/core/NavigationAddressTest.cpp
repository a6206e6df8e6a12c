#include "core/browser/NavigationAddress.h"

#include <gtest/gtest.h>

namespace {

TEST(NavigationAddressTest, AddressesWithoutSchemeOpenOverHttp)
{
    const struct
    {
        const char* given;
        const char* opened;
    } rows[] = {
        {"www.site.example/submit.php", "http://www.site.example/submit.php"},
        {"site.example", "http://site.example"},
        {"localhost:8080/add?x=1", "http://localhost:8080/add?x=1"},
        {"127.0.0.1:8731", "http://127.0.0.1:8731"},
        {"www.site.example:81#top", "http://www.site.example:81#top"},
        {"//cdn.site.example/a", "http://cdn.site.example/a"},
        {"  www.site.example/a \r\n", "http://www.site.example/a"},
        {"http://site.example/a", "http://site.example/a"},
        {"HTTPS://site.example/a", "HTTPS://site.example/a"},
        {"ftp://site.example/a", "ftp://site.example/a"},
        {"about:blank", "about:blank"},
        {"mailto:me@site.example", "mailto:me@site.example"},
        {"data:text/html,hello", "data:text/html,hello"},
        {"", ""},
        {" \t ", ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(NavigationAddress(row.given), row.opened) << row.given;
}

} // namespace
