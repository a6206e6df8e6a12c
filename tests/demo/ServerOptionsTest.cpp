#include "demo/ServerOptions.h"

#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct ArgumentsCase
{
    std::vector<std::string> arguments;
    bool ok;
    int port;
    std::string root;
    bool help;
    std::string ckeditor = "/usr/share/javascript/ckeditor";
};

TEST(ParseServerArguments, ReadsPortRootEditorAndHelp)
{
    const std::vector<ArgumentsCase> cases = {
        {{}, true, 8731, "default", false},
        {{"--port", "9000"}, true, 9000, "default", false},
        {{"--port=9001"}, true, 9001, "default", false},
        {{"--port", "0"}, true, 0, "default", false},
        {{"--port", "65535"}, true, 65535, "default", false},
        {{"--root", "/srv/www"}, true, 8731, "/srv/www", false},
        {{"--root=/srv/a=b"}, true, 8731, "/srv/a=b", false},
        {{"--root", "site", "--port", "80"}, true, 80, "site", false},
        {{"--port", "1", "--port", "2"}, true, 2, "default", false},
        {{"--ckeditor", "/opt/ck"}, true, 8731, "default", false, "/opt/ck"},
        {{"--ckeditor=ck", "--root", "site"}, true, 8731, "site", false, "ck"},
        {{"--ckeditor"}, false, 8731, "default", false},
        {{"--ckeditor="}, false, 8731, "default", false},
        {{"--help"}, true, 8731, "default", true},
        {{"-h"}, true, 8731, "default", true},
        {{"--port"}, false, 8731, "default", false},
        {{"--port", "65536"}, false, 8731, "default", false},
        {{"--port", "-1"}, false, 8731, "default", false},
        {{"--port", "80x"}, false, 8731, "default", false},
        {{"--port", ""}, false, 8731, "default", false},
        {{"--port", "000008080"}, false, 8731, "default", false},
        {{"--port="}, false, 8731, "default", false},
        {{"--root"}, false, 8731, "default", false},
        {{"--root="}, false, 8731, "default", false},
        {{"--verbose"}, false, 8731, "default", false},
        {{"9000"}, false, 8731, "default", false},
        {{"-port", "9000"}, false, 8731, "default", false},
    };
    for (const ArgumentsCase& c : cases) {
        std::string joined;
        for (const std::string& argument : c.arguments)
            joined += "[" + argument + "]";
        SCOPED_TRACE(joined);

        ServerOptions options;
        options.root = "default";
        std::string error;
        EXPECT_EQ(ParseServerArguments(c.arguments, options, &error), c.ok);
        EXPECT_EQ(error.empty(), c.ok) << error;
        if (c.ok) {
            EXPECT_EQ(options.port, c.port);
            EXPECT_EQ(options.root, c.root);
            EXPECT_EQ(options.showHelp, c.help);
            EXPECT_EQ(options.ckeditor, c.ckeditor);
        }
    }
}

TEST(ServerOptionsTest, AnInstalledServerServesTheInstalledSite)
{
    TemporaryDirectory prefix;
    const std::string source = "/src/demo/www";
    std::filesystem::create_directories(prefix.path / "bin");
    const std::string bin = (prefix.path / "bin").string();
    EXPECT_EQ(DefaultSiteFolder(bin, source), source) << "no site installed yet";

    const std::filesystem::path site = prefix.path / "share" / "quillmark" / "www";
    std::filesystem::create_directories(site);
    EXPECT_EQ(DefaultSiteFolder(bin, source), site.string());
    EXPECT_EQ(DefaultSiteFolder(bin + "/", source), site.string());
    EXPECT_EQ(DefaultSiteFolder((prefix.path / "share").string(), source), source);
    EXPECT_EQ(DefaultSiteFolder("", source), source);
}

} // namespace
