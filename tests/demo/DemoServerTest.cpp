#include "demo/DemoServer.h"

#include "TestData.h"
#include "common/MessageLog.h"
#include "demo/DemoSites.h"
#include "directorydb/DirectoryDatabase.h"
#include "fill/PlaceholderExpansion.h"
#include "profiles/Profile.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

const std::string demoDir = QUILLMARK_DEMO_DIR;
const std::string demoDatabase = demoDir + "/dirdata.xml";
const std::string demoFeed = demoDir + "/www/updates/quillmarkdemo.xml";
// Where the demo's databases expect the server.
const std::string demoBase = "http://127.0.0.1:8731";

// One start tag of a page, with its attributes.
struct Tag
{
    std::string name; // lower case
    std::map<std::string, std::string> attributes;
    std::size_t offset = 0; // where it starts in the page

    std::string Attribute(const std::string& attribute) const
    {
        auto found = attributes.find(attribute);
        return found == attributes.end() ? std::string() : found->second;
    }
    bool Has(const std::string& attribute) const { return attributes.count(attribute) != 0; }
    // How the form sends the control: by its name, or, on the page whose
    // script posts its fields itself, by its id.
    std::string Key() const { return Has("name") ? Attribute("name") : Attribute("id"); }
};

// The start tags of a page in document order; scripts are skipped. Enough
// for our own pages, whose attribute values are always double-quoted.
std::vector<Tag> ScanTags(const std::string& html)
{
    static const std::regex scriptPattern("<script[\\s\\S]*?</script>", std::regex::icase);
    static const std::regex tagPattern("<([a-zA-Z][a-zA-Z0-9]*)([^>]*)>");
    static const std::regex attributePattern(
        "([a-zA-Z_:][-a-zA-Z0-9_:.]*)(\\s*=\\s*\"([^\"]*)\")?");

    const std::string text = std::regex_replace(html, scriptPattern, "");
    std::vector<Tag> tags;
    for (std::sregex_iterator it(text.begin(), text.end(), tagPattern), end; it != end; ++it) {
        Tag tag;
        tag.name = (*it)[1].str();
        for (char& c : tag.name)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        tag.offset = static_cast<std::size_t>(it->position(0));
        const std::string attributes = (*it)[2].str();
        for (std::sregex_iterator at(attributes.begin(), attributes.end(), attributePattern);
             at != end; ++at)
            tag.attributes[(*at)[1].str()] = (*at)[3].str();
        tags.push_back(std::move(tag));
    }
    return tags;
}

// The elements a fill finds for a name: those whose name or id is it.
std::vector<Tag> ElementsNamed(const std::vector<Tag>& tags, const std::string& name)
{
    std::vector<Tag> found;
    for (const Tag& tag : tags) {
        if (tag.Attribute("name") == name || tag.Attribute("id") == name)
            found.push_back(tag);
    }
    return found;
}

bool IsFormControl(const Tag& tag)
{
    return tag.name == "input" || tag.name == "textarea" || tag.name == "select";
}

// The path and query of an address of the demo database.
std::string LocalTarget(const std::string& url)
{
    if (url.compare(0, demoBase.size(), demoBase) != 0)
        return std::string();
    return url.substr(demoBase.size());
}

Profile SampleProfile(const std::string& category)
{
    Profile profile;
    profile.name = "Sample";
    profile.url = "http://garden.example/?a=1&b=2";
    profile.articleTitle = "Ten <b>Tips</b> & \"Tricks\" for O'Brien's Garden";
    profile.articleContent = "First paragraph.\r\n\r\nSecond <script>alert(1)</script> paragraph.";
    profile.category = category;
    profile.authorInfo = "Ann grows tomatoes.\r\nShe writes about them.";
    profile.email = "ann@garden.example";
    profile.firstName = "Ann";
    profile.lastName = "Lee";
    profile.password = "s3cret-Pass";
    return profile;
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
        if (!result)
            continue; // a request the client refuses to send reaches nothing either
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
    std::string error;
    EXPECT_TRUE(database.Load(path, &error)) << error;
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

// For every directory of the feed (the demo database's and the one more),
// with profiles of each category: the submission page holds every element
// the items name, and the form filled as the items say is confirmed with the
// directory's confirmation text.
class DemoDirectoryTest : public DemoServerHttpTest
{
protected:
    void SetUp() override
    {
        DemoServerHttpTest::SetUp();
        ASSERT_TRUE(database.Load(demoFeed));
        ASSERT_TRUE(database.GetDirectoryNames(names));
    }

    // The fields a browser sends for the page's form once it is filled with
    // `items` for `profile`: every input and text area in document order
    // under its key, with the item's text where an item names it and its own
    // value otherwise.
    httplib::Params FilledForm(const std::vector<Tag>& tags,
        const std::vector<DirectoryItem>& items, const Profile& profile)
    {
        httplib::Params params;
        std::map<std::string, int> seen; // elements met so far per item name
        for (const Tag& tag : tags) {
            std::string value = tag.Attribute("value");
            std::set<std::string> matched;
            for (const DirectoryItem& item : items) {
                if (tag.Attribute("name") != item.name && tag.Attribute("id") != item.name)
                    continue;
                matched.insert(item.name);
                if (seen[item.name] == item.index)
                    value = ExpandPlaceholders(item.value, profile);
            }
            for (const std::string& itemName : matched)
                ++seen[itemName];

            // The fill leaves select lists alone; they are left out here.
            const std::string type = tag.Attribute("type");
            if (tag.name == "input" || tag.name == "textarea") {
                if (!tag.Key().empty() && type != "submit" && type != "button")
                    params.emplace(tag.Key(), value);
            }
        }
        return params;
    }

    MessageLog log;
    DirectoryDatabase database {log};
    std::vector<std::string> names;
};

TEST_F(DemoDirectoryTest, SubmissionPagesHoldEveryItemsElement)
{
    for (const std::string& name : names) {
        for (const std::string& category : categories) {
            SCOPED_TRACE(name + " / " + category);
            const std::string target =
                LocalTarget(database.GetDirectorySubmitPage(name, category, ""));
            auto page = Get(target);
            ASSERT_TRUE(page);
            ASSERT_EQ(page->status, 200);
            // The confirmation text never shows before a submission.
            EXPECT_EQ(page->body.find(database.GetDirectoryOnSubmit(name)), std::string::npos);

            const std::vector<Tag> tags = ScanTags(page->body);
            std::vector<DirectoryItem> items;
            database.GetDirectoryItems(name, category, "", items);
            for (const DirectoryItem& item : items) {
                SCOPED_TRACE(item.name);
                const std::vector<Tag> elements = ElementsNamed(tags, item.name);
                ASSERT_GE(elements.size(), static_cast<std::size_t>(item.index) + 1);
                EXPECT_TRUE(IsFormControl(elements[static_cast<std::size_t>(item.index)]));
            }
        }
    }
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(DemoDirectoryTest, FilledFormIsConfirmedWithTheDirectorysText)
{
    const std::map<std::string, std::string> sectionOf = {
        {"Marketing and Advertising", "Marketing and Advertising"},
        {"Small Business", "Small Business"},
        {"", "General Business"},
    };
    static const std::regex actionPattern("<form[^>]*action=\"([^\"]*)\"");

    for (const std::string& name : names) {
        for (const std::string& category : categories) {
            SCOPED_TRACE(name + " / " + category);
            const Profile profile = SampleProfile(category);
            auto page = Get(LocalTarget(database.GetDirectorySubmitPage(name, category, "")));
            ASSERT_TRUE(page);
            std::smatch action;
            ASSERT_TRUE(std::regex_search(page->body, action, actionPattern));

            std::vector<DirectoryItem> items;
            database.GetDirectoryItems(name, category, "", items);
            auto reply = client->Post(
                action[1].str().c_str(), FilledForm(ScanTags(page->body), items, profile));
            ASSERT_TRUE(reply);
            EXPECT_EQ(reply->status, 200);
            EXPECT_EQ(reply->get_header_value("Content-Type").rfind("text/html", 0), 0u);
            const std::string& body = reply->body;
            EXPECT_NE(body.find(database.GetDirectoryOnSubmit(name)), std::string::npos);
            // What was received is shown, escaped.
            EXPECT_NE(body.find(HtmlEscape(profile.articleTitle)), std::string::npos);
            EXPECT_NE(body.find(HtmlEscape(profile.email)), std::string::npos);
            EXPECT_EQ(body.find("<b>Tips"), std::string::npos);
            EXPECT_EQ(body.find("<script>alert"), std::string::npos);
            EXPECT_EQ(body.find(profile.password), std::string::npos);
            if (name == "Bizwrite Library") {
                EXPECT_NE(body.find("<dd>" + sectionOf.at(category) + "</dd>"), std::string::npos);
            }
        }
    }
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(DemoDirectoryTest, EmptySubmissionIsRefusedWithoutTheConfirmationText)
{
    for (const DemoSite& site : DemoSites()) {
        SCOPED_TRACE(site.name);
        auto reply = client->Post(("/" + site.folder + "/submit").c_str(), httplib::Params {});
        ASSERT_TRUE(reply);
        EXPECT_NE(reply->body.find("could not be accepted"), std::string::npos);
        const std::string marker = database.GetDirectoryOnSubmit(site.name);
        ASSERT_FALSE(marker.empty()) << "the feed lists every demo site";
        EXPECT_EQ(reply->body.find(marker), std::string::npos);
    }
}

} // namespace
