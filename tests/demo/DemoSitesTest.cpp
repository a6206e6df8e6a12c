#include "demo/DemoSites.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const DemoSite& Site(const std::string& folder)
{
    for (const DemoSite& site : DemoSites()) {
        if (site.folder == folder)
            return site;
    }
    throw std::runtime_error("no demo site " + folder);
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

TEST(HtmlEscape, EscapesMarkupAndQuotes)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", ""},
        {"plain text", "plain text"},
        {"<script>alert('x')</script>", "&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;"},
        {"a & b", "a &amp; b"},
        {"&amp;", "&amp;amp;"},
        {"\"><img src=x onerror=alert(1)>", "&quot;&gt;&lt;img src=x onerror=alert(1)&gt;"},
        {"line\r\nbreak\ttab", "line\r\nbreak\ttab"},
        {"caf\xC3\xA9", "caf\xC3\xA9"},
        {std::string("nul\0byte", 8), std::string("nul\0byte", 8)},
    };
    for (const auto& [text, escaped] : cases)
        EXPECT_EQ(HtmlEscape(text), escaped) << text;
}

TEST(DemoSites, FoldersAndNamesAreDistinct)
{
    std::set<std::string> folders, names;
    for (const DemoSite& site : DemoSites()) {
        EXPECT_TRUE(folders.insert(site.folder).second) << site.folder;
        EXPECT_TRUE(names.insert(site.name).second) << site.name;
        EXPECT_FALSE(site.fields.empty()) << site.name;
    }
    EXPECT_GE(DemoSites().size(), 5u);
}

TEST(ReplyToSubmission, AcceptsACompleteFormAndEchoesItEscaped)
{
    const SubmissionReply reply = ReplyToSubmission(Site("harbor"),
        {
            {"author", "Ann"},
            {"author", "<i>Lee</i>"},
            {"email", "ann@example.org"},
            {"password", "hunter2-secret"},
            {"title", "Tips & \"Tricks\""},
            {"article", "One.\r\nTwo."},
            {"category", "small-business"},
            {"agree", "on"},
            {"human", " Seven\r\n"},
            {"unknown", "ignored-field"},
        });
    EXPECT_TRUE(reply.accepted);
    EXPECT_TRUE(Contains(reply.html, "data-accepted=\"yes\""));
    EXPECT_TRUE(Contains(reply.html, "Your article is now waiting for review"));
    EXPECT_TRUE(Contains(reply.html, "<dt>First name</dt><dd>Ann</dd>"));
    EXPECT_TRUE(Contains(reply.html, "<dt>Last name</dt><dd>&lt;i&gt;Lee&lt;/i&gt;</dd>"));
    EXPECT_TRUE(Contains(reply.html, "<dd>Tips &amp; &quot;Tricks&quot;</dd>"));
    EXPECT_TRUE(Contains(reply.html, "<dd>One.\r\nTwo.</dd>"));
    EXPECT_TRUE(Contains(reply.html, "<dt>Category</dt><dd>Small Business</dd>"));
    EXPECT_TRUE(Contains(reply.html, "<dt>Author box</dt><dd><em>(empty)</em></dd>"));
    EXPECT_TRUE(Contains(reply.html, "<dt>Publishing terms</dt><dd>Accepted</dd>"));
    EXPECT_TRUE(Contains(reply.html, "<dt>Question</dt><dd> Seven\r\n</dd>"));
    EXPECT_FALSE(Contains(reply.html, "hunter2-secret"));
    EXPECT_FALSE(Contains(reply.html, "ignored-field"));
    EXPECT_FALSE(Contains(reply.html, "<i>"));
}

struct RefusalCase
{
    std::string folder;
    FormFields fields;
    std::vector<std::string> problems; // each must be listed
};

TEST(ReplyToSubmission, RefusesMissingFieldsAndUnknownChoices)
{
    const FormFields completeBizwrite = {{"section", "117"}, {"headline", "H"}, {"content", "C"},
        {"email", "e@example.org"}, {"topic", "t-3"}, {"rules", "1"}};
    const std::vector<RefusalCase> cases = {
        {"openlibrary", {}, {"Title is missing.", "Article is missing.", "E-mail is missing."}},
        // Blank text is no text.
        {"openlibrary", {{"title", " \r\n\t"}, {"body", "B"}, {"email", "e"}},
            {"Title is missing."}},
        // The second "author" is the last name.
        {"harbor",
            {{"author", "Ann"}, {"email", "e"}, {"password", "p"}, {"title", "T"},
                {"article", "A"}},
            {"Last name is missing."}},
        {"bizwrite",
            {{"section", "SECTIONID"}, {"headline", "H"}, {"content", "C"}, {"email", "e"}},
            {"Section &ldquo;SECTIONID&rdquo; does not exist here."}},
        {"bizwrite", {{"section", "<b>"}, {"headline", "H"}, {"content", "C"}, {"email", "e"}},
            {"Section &ldquo;&lt;b&gt;&rdquo; does not exist here."}},
        {"bizwrite", {{"headline", "H"}, {"content", "C"}, {"email", "e"}},
            {"Section is missing."}},
        {"inkwell", {{"ink-title", "T"}}, {"E-mail is missing.", "Article is missing."}},
        {"lantern", {{"subject", "S"}, {"text", "T"}}, {"Mail is missing."}},
        // The terms must be accepted, and the category must be one the site offers.
        {"harbor",
            {{"author", "A"}, {"author", "L"}, {"email", "e"}, {"password", "p"},
                {"category", "general"}, {"title", "T"}, {"article", "A"}},
            {"Publishing terms is missing."}},
        {"harbor",
            {{"author", "A"}, {"author", "L"}, {"email", "e"}, {"password", "p"}, {"title", "T"},
                {"article", "A"}, {"agree", "on"}},
            {"Category is missing."}},
        // The question wants its answer, not some text that holds it.
        {"harbor",
            {{"author", "A"}, {"author", "L"}, {"email", "e"}, {"password", "p"},
                {"category", "general"}, {"title", "T"}, {"article", "A"}, {"agree", "on"},
                {"human", "<b>7</b>"}},
            {"Question: &ldquo;&lt;b&gt;7&lt;/b&gt;&rdquo; is wrong."}},
        {"harbor",
            {{"author", "A"}, {"author", "L"}, {"email", "e"}, {"password", "p"},
                {"category", "general"}, {"title", "T"}, {"article", "A"}, {"agree", "on"},
                {"human", "8"}},
            {"Question: &ldquo;8&rdquo; is wrong."}},
        {"openlibrary",
            {{"title", "T"}, {"body", "B"}, {"email", "e"}, {"topic", "Small Business"},
                {"terms", "accepted"}},
            {"Topic &ldquo;Small Business&rdquo; does not exist here."}},
        {"inkwell",
            {{"ink-title", "T"}, {"ink-email", "e"}, {"ink-body", "B"},
                {"ink-category", "marketing"}, {"ink-terms", "no"}},
            {"Terms &ldquo;no&rdquo; does not exist here."}},
        {"lantern", {{"subject", "S"}, {"text", "T"}, {"mail", "m"}, {"topic", "sb"}},
            {"Consent is missing."}},
    };
    for (const RefusalCase& c : cases) {
        const DemoSite& site = Site(c.folder);
        SCOPED_TRACE(site.name);
        const SubmissionReply reply = ReplyToSubmission(site, c.fields);
        EXPECT_FALSE(reply.accepted);
        EXPECT_TRUE(Contains(reply.html, "data-accepted=\"no\""));
        EXPECT_FALSE(Contains(reply.html, site.acceptedHeading));
        EXPECT_FALSE(Contains(reply.html, site.acceptedText));
        for (const std::string& problem : c.problems)
            EXPECT_TRUE(Contains(reply.html, "<li>" + problem + "</li>")) << problem;
    }

    const SubmissionReply accepted = ReplyToSubmission(Site("bizwrite"), completeBizwrite);
    EXPECT_TRUE(accepted.accepted);
    EXPECT_TRUE(Contains(accepted.html, "<dt>Section</dt><dd>Small Business</dd>"));
    EXPECT_TRUE(Contains(accepted.html, "<dt>Topic</dt><dd>Small business</dd>"));
}

TEST(ComposeReplyPage, PutsTheReplyInPlaceOfTheMarker)
{
    EXPECT_EQ(ComposeReplyPage("<main>\n<!--reply-->\n</main>", "Site", "<p>R</p>"),
        "<main>\n<p>R</p>\n</main>");
    // Only the first marker is replaced, so a reply quoting it changes nothing else.
    EXPECT_EQ(ComposeReplyPage("<!--reply--><!--reply-->", "Site", "x"), "x<!--reply-->");

    const std::string bare = ComposeReplyPage("no marker here", "A & B", "<p>R</p>");
    EXPECT_TRUE(Contains(bare, "<title>A &amp; B</title>"));
    EXPECT_TRUE(Contains(bare, "<p>R</p>"));
    EXPECT_FALSE(Contains(bare, "no marker here"));
}

} // namespace
