#include "demo/DemoServer.h"

#include "TestData.h"
#include "core/common/MessageLog.h"
#include "core/common/Result.h"
#include "core/directorydb/DirectoryDatabase.h"
#include "core/record/LinkChecker.h"
#include "core/record/SubmissionStatus.h"
#include "demo/DemoSites.h"
#include "support/ClosedPort.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

const std::string demoDir = QUILLMARK_DEMO_DIR;
const std::string demoDatabase = demoDir + "/dirdata.xml";
const std::string demoFeed = demoDir + "/www/updates/quillmarkdemo.xml";
// Where the demo's databases expect the server.
const std::string demoBase = "http://127.0.0.1:8731";

// The path and query of an address of the demo database.
std::string LocalTarget(const std::string& url)
{
    if (url.compare(0, demoBase.size(), demoBase) != 0)
        return std::string();
    return url.substr(demoBase.size());
}

const std::vector<std::string> categories = {"Marketing and Advertising", "Small Business", ""};

// A server on a free port and a client for it.
class DemoServerHttpTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(server.Start("127.0.0.1", 0, &error)) << error;
        client = std::make_unique<httplib::Client>("127.0.0.1", server.Port());
        client->set_connection_timeout(5);
        client->set_read_timeout(10);
        client->set_url_encode(false);
    }

    httplib::Result Get(const std::string& target) { return client->Get(target.c_str()); }

    DemoServer server {demoDir + "/www"};
    std::unique_ptr<httplib::Client> client;
};

struct PageCase
{
    std::string path;
    int status;
    std::string contentType; // prefix of the Content-Type
    std::string contains;
};

TEST_F(DemoServerHttpTest, ServesTheMakersPagesAndTheFeed)
{
    const std::vector<PageCase> cases = {
        {"/updates/", 200, "text/html", "Welcome to Quillmark V1.0"},
        {"/updates/index.html", 200, "text/html", "Manage Profiles"},
        {"/faqs/quillmarkhelp.shtml", 200, "text/html", "Update Article Directory Database"},
        {"/faqs/quillmarkhelp.shtml", 200, "text/html", "sv.dat"},
        {"/contact/", 200, "text/html", "Support"},
        {"/", 200, "text/html", "Quillmark"},
        {"/updates/quillmarkdemo.xml", 200, "application/xml", "<r>"},
        {"/assets/quillmark.css", 200, "text/css", "body"},
        {"/assets/directory.css", 200, "text/css", "body"},
        {"/assets/quillmark.png", 200, "image/png", "\x89PNG"},
        {"/harbor/submit.html", 200, "text/html", "Harbor Article Directory"},
        {"/no/such/page.html", 404, "text/html", "Not found"},
        {"/updates/missing.xml", 404, "text/html", "<html>"},
        {"/harbor/submit", 404, "text/html", "Not found"},
    };
    for (const PageCase& c : cases) {
        SCOPED_TRACE(c.path);
        auto result = Get(c.path);
        ASSERT_TRUE(result) << httplib::to_string(result.error());
        EXPECT_EQ(result->status, c.status);
        EXPECT_EQ(result->get_header_value("Content-Type").rfind(c.contentType, 0), 0u)
            << result->get_header_value("Content-Type");
        EXPECT_NE(result->body.find(c.contains), std::string::npos);
    }
}

TEST_F(DemoServerHttpTest, EveryDirectoryShowsThePublishedSampleArticle)
{
    const DemoArticle& article = DemoSampleArticle();
    std::vector<LinkCheckTarget> targets;
    for (const DemoSite& site : DemoSites()) {
        targets.push_back({site.folder,
            "http://127.0.0.1:" + std::to_string(server.Port()) + PublishedArticlePath(site)});
    }
    std::map<std::string, LinkCheckReport> reports;
    ASSERT_TRUE(LinkChecker().Check(targets, article.title, article.webAddress,
        [&](const LinkCheckReport& report) { reports.emplace(report.key, report); }));

    ASSERT_EQ(reports.size(), DemoSites().size());
    std::set<LinkResult> kinds;
    for (const DemoSite& site : DemoSites()) {
        SCOPED_TRACE(site.folder);
        const LinkCheckReport& report = reports.at(site.folder);
        EXPECT_EQ(report.httpStatus, 200);
        EXPECT_TRUE(report.titleFound);
        EXPECT_EQ(
            report.result, site.publishedNofollow ? LinkResult::Nofollow : LinkResult::Followed)
            << report.reason;
        kinds.insert(report.result);

        // The page is on the directory's own site, as the browser will see it.
        PublishedPageQuestion question;
        question.pageAddress = report.address;
        question.pageText = article.title;
        question.submissionPage = "http://127.0.0.1:" + std::to_string(server.Port()) + "/" +
            site.folder + "/submit.html";
        question.articleTitle = article.title;
        question.sentMark = true;
        EXPECT_TRUE(IsPublishedArticlePage(question));
    }
    EXPECT_EQ(kinds, (std::set<LinkResult> {LinkResult::Followed, LinkResult::Nofollow}));
}

TEST_F(DemoServerHttpTest, FolderWithoutSlashRedirectsToItsPage)
{
    auto result = Get("/updates");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 301);
    EXPECT_EQ(result->get_header_value("Location"), "/updates/");
}

TEST_F(DemoServerHttpTest, FeedIsNoWebPageToTheUpdate)
{
    // The update refuses a body holding either tag; the feed must pass.
    auto result = Get("/updates/quillmarkdemo.xml");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->body.find("<html>"), std::string::npos);
    EXPECT_EQ(result->body.find("<HTML>"), std::string::npos);
}

TEST_F(DemoServerHttpTest, NoFileOutsideTheRootIsServed)
{
    // demo/dirdata.xml sits right beside the root.
    const std::vector<std::string> paths = {
        "/../dirdata.xml",
        "/%2e%2e/dirdata.xml",
        "/%2E%2E/dirdata.xml",
        "/updates/../../dirdata.xml",
        "/updates/%2e%2e/%2e%2e/dirdata.xml",
        "/..%2fdirdata.xml",
        "/%2e%2e%2fdirdata.xml",
        "/updates/..%5c..%5cdirdata.xml",
        "/..\\dirdata.xml",
        "/.%2e/dirdata.xml",
        "//../dirdata.xml",
        "/updates/%00/../../dirdata.xml",
    };
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        auto result = Get(path);
        // Every request is answered: a server that fails on one gives no answer.
        ASSERT_TRUE(result) << httplib::to_string(result.error());
        EXPECT_NE(result->status, 200);
        EXPECT_EQ(result->body.find("<directory"), std::string::npos);
    }
}

TEST(DemoServerLifecycle, StartsStopsAndRefusesABusyPort)
{
    DemoServer first(demoDir + "/www");
    ASSERT_TRUE(first.Start("127.0.0.1", 0));
    EXPECT_FALSE(first.Start("127.0.0.1", 0)) << "already running";

    DemoServer second(demoDir + "/www");
    std::string error;
    EXPECT_FALSE(second.Start("127.0.0.1", first.Port(), &error));
    EXPECT_NE(error.find(std::to_string(first.Port())), std::string::npos) << error;
    EXPECT_EQ(second.Port(), 0);

    const int port = first.Port();
    first.Stop();
    EXPECT_EQ(first.Port(), 0);
    first.Stop();
    // The server let go of its port: the test takes it and keeps it shut,
    // so that no other server can answer on it meanwhile.
    const ClosedPort held(port);
    ASSERT_TRUE(held.Bound()) << "the stopped server still holds port " << port;
    httplib::Client client("127.0.0.1", port);
    client.set_connection_timeout(2);
    EXPECT_FALSE(client.Get("/updates/"));

    // The port is free again and the same object starts anew.
    ASSERT_TRUE(first.Start("127.0.0.1", 0));
    httplib::Client again("127.0.0.1", first.Port());
    auto result = again.Get("/updates/");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
}

// A mounted folder answers below its prefix, ahead of the web site folder,
// and keeps what it serves inside itself; a missing one is left out.
TEST(DemoServerMount, ServesAFolderBelowItsPrefix)
{
    TemporaryDirectory editor;
    editor.Write("editor.js", "var editor = 1;");
    std::filesystem::create_directory(editor.path / "skins");
    editor.Write("skins/index.html", "<p>skins</p>");
    DemoServer server(demoDir + "/www");
    server.Mount("/editor/", editor.path);
    server.Mount("/missing/", editor.path / "no-such-folder");
    ASSERT_TRUE(server.Start("127.0.0.1", 0));
    httplib::Client client("127.0.0.1", server.Port());
    client.set_url_encode(false);

    const std::vector<PageCase> cases = {
        {"/editor/editor.js", 200, "text/javascript", "var editor = 1;"},
        {"/editor/skins/", 200, "text/html", "<p>skins</p>"},
        {"/editor/../dirdata.xml", 404, "text/html", "Not found"},
        {"/editor/%2e%2e/%2e%2e/dirdata.xml", 404, "text/html", "Not found"},
        {"/editor/nothing.js", 404, "text/html", "Not found"},
        {"/missing/editor.js", 404, "text/html", "Not found"},
        {"/updates/", 200, "text/html", "Welcome to Quillmark V1.0"},
    };
    for (const PageCase& c : cases) {
        SCOPED_TRACE(c.path);
        auto result = client.Get(c.path.c_str());
        ASSERT_TRUE(result) << httplib::to_string(result.error());
        EXPECT_EQ(result->status, c.status);
        EXPECT_EQ(result->get_header_value("Content-Type").rfind(c.contentType, 0), 0u)
            << result->get_header_value("Content-Type");
        EXPECT_NE(result->body.find(c.contains), std::string::npos);
    }
    auto folder = client.Get("/editor/skins");
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->status, 301);
    EXPECT_EQ(folder->get_header_value("Location"), "/editor/skins/");
}

TEST(DemoServerLifecycle, MissingRootIsReported)
{
    DemoServer server(demoDir + "/no-such-folder");
    std::string error;
    EXPECT_FALSE(server.Start("127.0.0.1", 0, &error));
    EXPECT_NE(error.find("no-such-folder"), std::string::npos) << error;
}

// Loads a database of the demo and checks that it is complete for the
// profiles that exercise its variables; returns the directory names.
std::vector<std::string> CheckDatabase(const std::string& path)
{
    MessageLog log;
    DirectoryDatabase database(log);
    Result loaded;
    EXPECT_TRUE(database.Load(path, &loaded)) << loaded.Reason();
    std::vector<std::string> names;
    EXPECT_TRUE(database.GetDirectoryNames(names));
    EXPECT_GE(names.size(), 4u);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        EXPECT_EQ(name.find('\''), std::string::npos);
        EXPECT_EQ(name.find(" ["), std::string::npos);
        EXPECT_FALSE(database.GetDirectoryOnSubmit(name).empty());
        for (const std::string& category : categories) {
            SCOPED_TRACE(category);
            EXPECT_FALSE(LocalTarget(database.GetDirectorySubmitPage(name, category, "")).empty());
            std::vector<DirectoryItem> items;
            EXPECT_TRUE(database.GetDirectoryItems(name, category, "", items));
            EXPECT_FALSE(items.empty());
        }
    }
    EXPECT_TRUE(log.messages.empty())
        << log.messages.front().text << " / " << log.messages.front().caption;
    return names;
}

TEST(DemoDatabase, DemoDatabaseAndFeedLoadCompleteAndSilent)
{
    const std::vector<std::string> demoNames = CheckDatabase(demoDatabase);
    const std::vector<std::string> feedNames = CheckDatabase(demoFeed);
    // The feed is the demo database and at least one directory more.
    ASSERT_GT(feedNames.size(), demoNames.size());
    EXPECT_TRUE(std::equal(demoNames.begin(), demoNames.end(), feedNames.begin()));
}

TEST(DemoDatabase, FeedDescribesTheDemoDirectoriesAlike)
{
    MessageLog log;
    DirectoryDatabase demo(log);
    DirectoryDatabase feed(log);
    ASSERT_TRUE(demo.Load(demoDatabase));
    ASSERT_TRUE(feed.Load(demoFeed));
    std::vector<std::string> names;
    ASSERT_TRUE(demo.GetDirectoryNames(names));
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        EXPECT_EQ(demo.GetDirectoryOnSubmit(name), feed.GetDirectoryOnSubmit(name));
        for (const std::string& category : categories) {
            EXPECT_EQ(demo.GetDirectorySubmitPage(name, category, ""),
                feed.GetDirectorySubmitPage(name, category, ""));
            std::vector<DirectoryItem> demoItems, feedItems;
            demo.GetDirectoryItems(name, category, "", demoItems);
            feed.GetDirectoryItems(name, category, "", feedItems);
            EXPECT_EQ(demoItems, feedItems);
        }
    }
    EXPECT_TRUE(log.messages.empty());
}

// The demo directories' forms as the server receives them.
class DemoDirectoryTest : public DemoServerHttpTest
{
protected:
    void SetUp() override
    {
        DemoServerHttpTest::SetUp();
        ASSERT_TRUE(database.Load(demoFeed));
    }

    // The text the feed expects of a listed site's confirmation; a site
    // the feed leaves out has only its page's heading.
    std::string ConfirmationOf(const DemoSite& site) const
    {
        std::vector<std::string> names;
        database.GetDirectoryNames(names);
        const bool inFeed = std::find(names.begin(), names.end(), site.name) != names.end();
        EXPECT_EQ(inFeed, site.listed) << "the feed lists exactly the listed sites";
        return inFeed ? database.GetDirectoryOnSubmit(site.name) : site.acceptedHeading;
    }

    MessageLog log;
    DirectoryDatabase database {log};
};

// Every field a site reads, sent with hostile text (or a value it offers),
// is confirmed with the text the feed expects of the directory; what was
// received is shown escaped and the password not at all.
TEST_F(DemoDirectoryTest, CompleteSubmissionIsConfirmedEscaped)
{
    const std::string text = "Ten <b>Tips</b> & \"Tricks\" <script>alert(1)</script>";
    const std::string secret = "s3cret-Pass";
    for (const DemoSite& site : DemoSites()) {
        SCOPED_TRACE(site.name);
        httplib::Params fields;
        for (const DemoField& field : site.fields) {
            // Each text differs, as two fields of one name with one value
            // arrive as one.
            fields.emplace(field.param,
                !field.choices.empty()                      ? field.choices.front().first
                    : !field.answers.empty()                ? field.answers.front()
                    : field.show == DemoField::Show::Secret ? secret
                                                            : text + " " + field.label);
        }
        auto reply = client->Post(("/" + site.folder + "/submit").c_str(), fields);
        ASSERT_TRUE(reply) << httplib::to_string(reply.error());
        EXPECT_EQ(reply->status, 200);
        EXPECT_EQ(reply->get_header_value("Content-Type").rfind("text/html", 0), 0u);
        const std::string marker = ConfirmationOf(site);
        EXPECT_NE(reply->body.find(marker), std::string::npos);
        EXPECT_NE(reply->body.find(HtmlEscape(text)), std::string::npos);
        EXPECT_EQ(reply->body.find("<b>Tips"), std::string::npos);
        EXPECT_EQ(reply->body.find("<script>alert"), std::string::npos);
        EXPECT_EQ(reply->body.find(secret), std::string::npos);
    }
}

TEST_F(DemoDirectoryTest, EmptySubmissionIsRefusedWithoutTheConfirmationText)
{
    for (const DemoSite& site : DemoSites()) {
        SCOPED_TRACE(site.name);
        auto reply = client->Post(("/" + site.folder + "/submit").c_str(), httplib::Params {});
        ASSERT_TRUE(reply);
        EXPECT_NE(reply->body.find("could not be accepted"), std::string::npos);
        EXPECT_EQ(reply->body.find(ConfirmationOf(site)), std::string::npos);
    }
}

} // namespace
