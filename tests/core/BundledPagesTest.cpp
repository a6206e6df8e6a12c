#include "core/browser/BundledPages.h"

#include <gtest/gtest.h>

namespace {

TEST(BundledPagesTest, MakersPagesAndBundledFoldersLeadToBundledFiles)
{
    const std::string server = "http://127.0.0.1:8731";
    const struct
    {
        std::string server;
        std::string url;
        std::string expected;
    } rows[] = {
        {server, "http://127.0.0.1:8731/updates/", "qrc:/updates/index.html"},
        {server + "/", "http://127.0.0.1:8731/updates/", "qrc:/updates/index.html"},
        {server, "http://127.0.0.1:8731/", "qrc:/updates/index.html"},
        {server, "http://127.0.0.1:8731", "qrc:/updates/index.html"},
        {server, "http://127.0.0.1:8731/faqs/quillmarkhelp.shtml#files",
            "qrc:/faqs/quillmarkhelp.shtml#files"},
        {server, "http://127.0.0.1:8731/contact/?from=menu", "qrc:/contact/index.html"},
        {"HTTP://Maker.Example", "http://maker.example/contact/index.html",
            "qrc:/contact/index.html"},
        {"http://maker.example/quillmark", "http://maker.example/quillmark/updates/",
            "qrc:/updates/index.html"},
        // The bundled pages' own links.
        {server, "qrc:/contact/", "qrc:/contact/index.html"},
        {server, "qrc:/", "qrc:/updates/index.html"},
        {server, "qrc:/faqs/quillmarkhelp.shtml#profiles",
            "qrc:/faqs/quillmarkhelp.shtml#profiles"},
        // Nothing stands in for other pages and other servers.
        {server, "http://127.0.0.1:8731/updates/quillmarkdemo.xml", ""},
        {server, "http://127.0.0.1:8731/harbor/submit.html", ""},
        {server, "http://127.0.0.1:87310/updates/", ""},
        {server, "http://127.0.0.1:9000/updates/", ""},
        {server, "https://127.0.0.1:8731/updates/", ""},
        {"http://maker.example/quillmark", "http://maker.example/updates/", ""},
        {server, "qrc:/assets/quillmark.css", ""},
        {"", "http://127.0.0.1:8731/updates/", ""},
        {server, "about:blank", ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(BundledPageAddress(row.server, row.url), row.expected) << row.url;
}

TEST(BundledPagesTest, OnlyAServerOutOfReachIsReplaced)
{
    // Refused, timed out, name not resolved, no network.
    for (const int code : {-102, -118, -7, -105, -137, -106, -109, -104})
        EXPECT_TRUE(IsServerUnreachable(code)) << code;
    // Aborted, a certificate refused, an empty answer, a connection reset
    // mid-answer, and the HTTP statuses of a server that answered.
    for (const int code : {0, -3, -200, -324, -101, 404, 500})
        EXPECT_FALSE(IsServerUnreachable(code)) << code;
}

} // namespace
