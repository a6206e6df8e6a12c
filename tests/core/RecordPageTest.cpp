#include "core/record/PageInspection.h"
#include "core/record/PageText.h"

#include <gtest/gtest.h>

#include <random>

namespace {

const char* const page = "http://127.0.0.1:8731/harbor/articles/ten-herbs.html";
const char* const title = "Ten Herbs for Shade";
const char* const site = "http://garden.test/";

TEST(RecordPageTest, LinksAreReadWithTheirRel)
{
    const struct
    {
        const char* name;
        std::string html;
        std::optional<LinkResult> link;
        bool titleFound;
    } cases[] = {
        {"followed", "<h1>Ten Herbs <em>for</em> Shade</h1><a href='https://www.garden.test'>x</a>",
            LinkResult::Followed, true},
        {"nofollow", "<a rel='external NOFOLLOW' href='http://garden.test/'>x</a>",
            LinkResult::Nofollow, false},
        {"ugc", "<a rel='ugc nofollow' href='http://garden.test/'>x</a>", LinkResult::Ugc, false},
        {"sponsored", "<a rel='sponsored ugc' href='http://garden.test/'>x</a>",
            LinkResult::Sponsored, false},
        {"best of several",
            "<a rel=nofollow href=http://garden.test/>a</a><p><a href=http://garden.test>b</a>",
            LinkResult::Followed, false},
        {"another page of the site", "<a href='http://garden.test/shop'>x</a>", std::nullopt,
            false},
        {"text only", "<p>Visit http://garden.test/ today. Ten Herbs for Shade</p>", std::nullopt,
            true},
        {"in a comment or script",
            "<!-- <a href='http://garden.test/'> --><script>var a = \"<a "
            "href='http://garden.test/'>"
            "Ten Herbs for Shade\";</script>",
            std::nullopt, false},
        {"relative to the page on its own site", "<a href='//garden.test/'>x</a>",
            LinkResult::Followed, false},
        {"title across inline tags and entities",
            "<title>Ten&#32;Herbs</title><p>TEN <b>HERBS</b>\n for&nbsp;x</p><p>ten herbs\tfor "
            "<i>shade</i></p>",
            std::nullopt, true},
        {"title split by blocks", "<p>Ten Herbs for</p><p>Shade</p>", std::nullopt, true},
        {"title glued by blocks", "<p>Ten Herbs fo</p><p>r Shade</p>", std::nullopt, false},
    };
    for (const auto& row : cases) {
        const PageInspection found = InspectPage(row.html, page, title, site);
        EXPECT_EQ(found.link, row.link) << row.name;
        EXPECT_EQ(found.titleFound, row.titleFound) << row.name;
    }
}

TEST(RecordPageTest, HrefsResolveAgainstThePage)
{
    const struct
    {
        const char* href;
        const char* resolved;
    } cases[] = {
        {"http://garden.test/a", "http://garden.test/a"},
        {"  HTTPS://Garden.test/a ", "HTTPS://Garden.test/a"},
        {"//garden.test/a", "http://garden.test/a"},
        {"/top", "http://127.0.0.1:8731/top"},
        {"other.html", "http://127.0.0.1:8731/harbor/articles/other.html"},
        {"?page=2", "http://127.0.0.1:8731/harbor/articles/ten-herbs.html?page=2"},
        {"#comments", "http://127.0.0.1:8731/harbor/articles/ten-herbs.html"},
        {"mailto:jo@garden.test", ""},
        {"javascript:alert(1)", ""},
    };
    for (const auto& row : cases)
        EXPECT_EQ(ResolveLink(row.href, page), row.resolved) << row.href;
}

TEST(RecordPageTest, WrongEncodingsBecomeUtf8)
{
    // "Café" in windows-1252, and broken UTF-8 sequences of every kind.
    EXPECT_EQ(SanitisedUtf8("Caf\xe9", "ISO-8859-1"), "Caf\xc3\xa9");
    EXPECT_EQ(SanitisedUtf8("Caf\xe9", ""), "Caf\xef\xbf\xbd");
    EXPECT_EQ(SanitisedUtf8("a\xc3(b", "utf-8"), "a\xef\xbf\xbd(b");
    EXPECT_EQ(SanitisedUtf8("\xed\xa0\x80x", ""), "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbdx");
    EXPECT_EQ(SanitisedUtf8("\xe6\x97\xa5 ok", ""), "\xe6\x97\xa5 ok");
    EXPECT_EQ(SanitisedUtf8("\xf0\x9f\x98", ""), "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd");

    // Bytes that are no UTF-8 around the article: replaced, parsed, read.
    std::mt19937 random(7);
    std::uniform_int_distribution<int> highBytes(0x80, 0xff);
    for (int round = 0; round < 200; ++round) {
        std::string noise(64, '\0');
        for (char& c : noise)
            c = static_cast<char>(highBytes(random));
        const std::string html = SanitisedUtf8(
            noise + "<p>Ten Herbs for Shade</p><a href='http://garden.test/'>" + noise + "</a>",
            "");
        const PageInspection found = InspectPage(html, page, title, site);
        EXPECT_EQ(found.link, LinkResult::Followed);
        EXPECT_TRUE(found.titleFound);
    }
}

TEST(RecordPageTest, OnlyPagesOfABrowsersDepthAreRead)
{
    // `depth` levels of `tag` after `start`, the link one more.
    const auto nested = [](const std::string& tag, std::size_t depth,
                            const std::string& start = "<!-- <div> --><script>'<div>'</SCRIPT>") {
        std::string html = start;
        for (std::size_t level = 0; level < depth; ++level)
            html += tag;
        return html + "Ten Herbs for Shade <a href='http://garden.test/'>x</a>";
    };
    const struct
    {
        std::string html;
        bool read;
    } cases[] = {
        {nested("<div>", maxPageNesting - 1), true},
        {nested("<div>", maxPageNesting), false},
        {nested("<span class='a>b'>", 100000), false},
        // "/>" closes nothing outside SVG, where a <div> ends the SVG, and
        // where a script is no text but elements.
        {nested("<div/>", 20000), false},
        {nested("<g/>", 20000, "<svg>") + "</svg>", true},
        {nested("<g/>", 20000, "<svg><div/>"), false},
        {nested("<g/>", 20000, "<svg><script><div></script>"), false},
        // Closed, empty or closed by their next sibling: no depth.
        {nested("<div></DIV>", 100000), true},
        {nested("<p><li><br><img src=x><td>", 20000), true},
    };
    for (const auto& row : cases) {
        const PageInspection found = InspectPage(row.html, page, title, site);
        EXPECT_EQ(found.read, row.read) << row.html.substr(0, 80);
        EXPECT_EQ(found.titleFound, row.read);
        EXPECT_EQ(found.link.has_value(), row.read);
    }
}

} // namespace
