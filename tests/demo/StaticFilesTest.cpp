#include "demo/StaticFiles.h"

#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A site folder "www" inside a scratch folder that also holds a file and a
// folder the site must never reach, and links that lead to them.
class StaticFilesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directories(scratch.path / "www/updates");
        fs::create_directories(scratch.path / "www/empty");
        fs::create_directories(scratch.path / "outside");
        scratch.Write("www/index.html", "home");
        scratch.Write("www/updates/index.html", "start");
        scratch.Write("www/updates/feed.xml", "<r/>");
        scratch.Write("www/.hidden", "hidden");
        scratch.Write("www/my page.html", "spaced");
        scratch.Write("secret.txt", "secret");
        scratch.Write("outside/index.html", "outside");
        fs::create_symlink(scratch.path / "secret.txt", scratch.path / "www/secret.txt");
        fs::create_directory_symlink(scratch.path / "outside", scratch.path / "www/away");
        fs::create_symlink(scratch.path / "www/updates/feed.xml", scratch.path / "www/feed.xml");
        root = fs::canonical(scratch.path / "www");
    }

    TemporaryDirectory scratch;
    fs::path root;
};

struct ResolveCase
{
    std::string path;
    StaticTarget::Kind kind;
    std::string file; // below the root, for File
    std::string location; // for Redirect
};

TEST_F(StaticFilesTest, ResolvesInsideTheRootOnly)
{
    using Kind = StaticTarget::Kind;
    const std::vector<ResolveCase> cases = {
        {"/", Kind::File, "index.html", ""},
        {"/index.html", Kind::File, "index.html", ""},
        {"/updates/", Kind::File, "updates/index.html", ""},
        {"/updates//feed.xml", Kind::File, "updates/feed.xml", ""},
        {"/my page.html", Kind::File, "my page.html", ""},
        {"/feed.xml", Kind::File, "updates/feed.xml", ""}, // a link that stays inside
        {"/updates", Kind::Redirect, "", "/updates/"},
        {"/empty", Kind::NotFound, "", ""}, // a folder without a page
        {"/empty/", Kind::NotFound, "", ""},
        {"/missing.html", Kind::NotFound, "", ""},
        {"/updates/index.html/", Kind::NotFound, "", ""},
        {"", Kind::NotFound, "", ""},
        {"updates/", Kind::NotFound, "", ""},
        {"/../secret.txt", Kind::NotFound, "", ""},
        {"/updates/../../secret.txt", Kind::NotFound, "", ""},
        {"/updates/../index.html", Kind::NotFound, "", ""},
        {"/./index.html", Kind::NotFound, "", ""},
        {"/..", Kind::NotFound, "", ""},
        {"/.hidden", Kind::NotFound, "", ""},
        {"/..\\secret.txt", Kind::NotFound, "", ""},
        {"/updates\\..\\..\\secret.txt", Kind::NotFound, "", ""},
        {std::string("/index.html\0.png", 16), Kind::NotFound, "", ""},
        {"/secret.txt", Kind::NotFound, "", ""}, // a link out of the root
        {"/away/", Kind::NotFound, "", ""},
        {"/away", Kind::NotFound, "", ""},
        {"/away/index.html", Kind::NotFound, "", ""},
    };
    for (const ResolveCase& c : cases) {
        SCOPED_TRACE("path \"" + c.path + "\"");
        const StaticTarget target = ResolveStaticPath(root, c.path);
        EXPECT_EQ(target.kind, c.kind);
        if (c.kind == Kind::File)
            EXPECT_EQ(target.file, root / c.file);
        else
            EXPECT_TRUE(target.file.empty());
        EXPECT_EQ(target.location, c.location);
    }
}

TEST_F(StaticFilesTest, RedirectLocationIsEncoded)
{
    fs::create_directories(root / "a b&c");
    scratch.Write("www/a b&c/index.html", "x");
    const StaticTarget target = ResolveStaticPath(root, "/a b&c");
    EXPECT_EQ(target.kind, StaticTarget::Kind::Redirect);
    EXPECT_EQ(target.location, "/a%20b%26c/");
}

TEST(ContentTypeFor, KnowsTheSitesFileTypes)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"index.html", "text/html; charset=utf-8"},
        {"quillmarkhelp.shtml", "text/html; charset=utf-8"},
        {"PAGE.HTM", "text/html; charset=utf-8"},
        {"directory.css", "text/css; charset=utf-8"},
        {"quillmarkdemo.xml", "application/xml"},
        {"quillmark.png", "image/png"},
        {"Logo.PNG", "image/png"},
        {"script.js", "text/javascript; charset=utf-8"},
        {"archive.tar.gz", "application/octet-stream"},
        {"README", "application/octet-stream"},
    };
    for (const auto& [file, type] : cases)
        EXPECT_EQ(ContentTypeFor(file), type) << file;
}

TEST(EncodeUrlPath, KeepsSlashesAndUnreservedCharacters)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/updates/", "/updates/"},
        {"/a-b_c.d~e/", "/a-b_c.d~e/"},
        {"/a b/", "/a%20b/"},
        {"/?#%&\"<>", "/%3F%23%25%26%22%3C%3E"},
        {"/caf\xC3\xA9", "/caf%C3%A9"},
    };
    for (const auto& [path, encoded] : cases)
        EXPECT_EQ(EncodeUrlPath(path), encoded) << path;
}

} // namespace
