#include "update/DatabaseDownload.h"

#include "support/TemporaryDirectory.h"
#include "support/TestHttpServer.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

const std::string oldDatabase = "<r><directory name='Old' submiturl='u' onsubmit='o'/></r>";

std::string NewDatabase(std::size_t size)
{
    std::string body = "<?xml version='1.0'?>\n<r>\n";
    for (int i = 0; body.size() < size; ++i)
        body += "<directory name='Directory " + std::to_string(i) + "' submiturl='http://d" +
            std::to_string(i) + ".test/' onsubmit='Thanks'/>\n";
    return body + "</r>\n";
}

class DatabaseDownloadTest : public ::testing::Test
{
protected:
    DatabaseDownloadTest()
    {
        databasePath = folder.Write("dirdata.xml", oldDatabase);
        std::filesystem::create_directory(folder.FilePath("tmp"));
        options.temporaryFolder = folder.FilePath("tmp");
        options.connectTimeout = std::chrono::seconds(5);
        options.stallTimeout = std::chrono::seconds(1);
        options.maxBodyBytes = 4 << 20;
    }

    ~DatabaseDownloadTest() override { stopping = true; }

    // Serves `parts` at `path`, each part as its own write, with a pause
    // between parts so that they arrive in separate reads.
    void ServeInParts(const std::string& path, std::vector<std::string> parts, int status = 200)
    {
        server.server.Get(
            path, [this, parts, status](const httplib::Request&, httplib::Response& response) {
                response.status = status;
                response.set_chunked_content_provider(
                    "text/xml", [this, parts](std::size_t, httplib::DataSink& sink) {
                        for (const std::string& part : parts) {
                            if (stopping || !sink.write(part.data(), part.size()))
                                return false;
                            std::this_thread::sleep_for(std::chrono::milliseconds(30));
                        }
                        sink.done();
                        return true;
                    });
            });
    }

    int Download(const std::string& path)
    {
        reason.clear();
        return DownloadDatabase(server.Url(path), databasePath, options, &reason);
    }

    std::string Database() const { return TemporaryDirectory::Read(databasePath); }
    std::string Temporary() const
    {
        return TemporaryDirectory::Read(folder.FilePath("tmp/ddupdate.xml"));
    }

    TemporaryDirectory folder;
    TestHttpServer server;
    std::string databasePath;
    DownloadOptions options;
    std::string reason;
    std::atomic<bool> stopping {false};
};

TEST_F(DatabaseDownloadTest, BodyOfManyReadsReplacesTheDatabaseByteForByte)
{
    const std::string body = NewDatabase(1500000);
    std::vector<std::string> parts;
    for (std::size_t at = 0; at < body.size(); at += 300000)
        parts.push_back(body.substr(at, 300000));
    ServeInParts("/updates/quillmarkdemo.xml", parts);
    server.Start();

    EXPECT_EQ(Download("/updates/quillmarkdemo.xml"), UpdateSucceeded) << reason;
    EXPECT_EQ(Database(), body);
    EXPECT_EQ(Temporary(), body) << "the download stays in the temporary folder";

    // A second update in the same run uses the same client again.
    server.Page("/second.xml", oldDatabase);
    EXPECT_EQ(Download("/second.xml"), UpdateSucceeded) << reason;
    EXPECT_EQ(Database(), oldDatabase);
}

TEST_F(DatabaseDownloadTest, WebPagesAreRefusedWhereverTheTagFalls)
{
    const std::string padding(5000, ' ');
    ServeInParts("/first", {"<html><body>Not found</body></html>"});
    ServeInParts("/later", {"<r>" + padding, padding, "<HTML>" + padding, "</r>"});
    ServeInParts("/split", {"<r>" + padding + "<HT", "ML>" + padding + "</r>"});
    ServeInParts("/split-lower", {"<r>" + padding + "<", "html>" + padding + "</r>"});
    server.Start();

    for (const char* path : {"/first", "/later", "/split", "/split-lower"}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(Download(path), UpdateFailed);
        EXPECT_NE(reason.find("web page"), std::string::npos) << reason;
        EXPECT_EQ(Database(), oldDatabase);
    }
    EXPECT_EQ(Temporary(), "<r>" + padding + "<")
        << "the temporary file keeps what came before the tag";
}

TEST_F(DatabaseDownloadTest, ErrorsAndNonDatabasesLeaveTheDatabaseAsItWas)
{
    ServeInParts("/missing", {NewDatabase(100)}, 404);
    ServeInParts("/broken", {NewDatabase(100)}, 500);
    ServeInParts("/empty", {});
    ServeInParts("/malformed", {"<r><directory name='x'></r>"});
    ServeInParts("/foreign", {"<?xml version='1.0'?><rss><channel/></rss>"});
    ServeInParts("/text", {"just some text"});
    server.Start();

    for (const char* path : {"/missing", "/broken", "/empty", "/malformed", "/foreign", "/text"}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(Download(path), UpdateFailed);
        EXPECT_FALSE(reason.empty());
        EXPECT_EQ(Database(), oldDatabase);
    }
}

TEST_F(DatabaseDownloadTest, EndlessAndStalledBodiesAreCutOff)
{
    server.server.Get("/endless", [this](const httplib::Request&, httplib::Response& response) {
        response.set_chunked_content_provider(
            "text/xml", [this](std::size_t, httplib::DataSink& sink) {
                const std::string chunk = "<r>" + std::string(65536, ' ');
                while (!stopping && sink.write(chunk.data(), chunk.size())) { }
                return false;
            });
    });
    server.server.Get("/stalled", [this](const httplib::Request&, httplib::Response& response) {
        response.set_chunked_content_provider(
            "text/xml", [this](std::size_t, httplib::DataSink& sink) {
                sink.write("<r>", 3);
                for (int i = 0; i < 200 && !stopping && sink.is_writable(); ++i)
                    std::this_thread::sleep_for(std::chrono::milliseconds(50));
                return false;
            });
    });
    server.Start();

    EXPECT_EQ(Download("/endless"), UpdateFailed);
    EXPECT_NE(reason.find("larger"), std::string::npos) << reason;
    EXPECT_EQ(Database(), oldDatabase);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Download("/stalled"), UpdateFailed);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(8))
        << "given up on the stall";
    EXPECT_EQ(Database(), oldDatabase);
}

TEST_F(DatabaseDownloadTest, RefusedConnectionAndFailedReplaceAreFailures)
{
    server.Page("/updates/quillmarkdemo.xml", NewDatabase(100));
    server.Start();
    const std::string address = server.Url("/updates/quillmarkdemo.xml");
    server.Stop();
    EXPECT_EQ(DownloadDatabase(address, databasePath, options, &reason), UpdateFailed);
    EXPECT_EQ(Database(), oldDatabase);

    TestHttpServer other;
    other.Page("/updates/quillmarkdemo.xml", NewDatabase(100));
    other.Start();
    const std::string nowhere = folder.FilePath("no/such/folder/dirdata.xml");
    EXPECT_EQ(DownloadDatabase(other.Url("/updates/quillmarkdemo.xml"), nowhere, options, &reason),
        UpdateFailed);
    EXPECT_FALSE(reason.empty());

    EXPECT_EQ(DownloadDatabase("", databasePath, options), UpdateInternalError);
    EXPECT_EQ(DownloadDatabase(other.Url("/"), "", options), UpdateInternalError);
}

TEST_F(DatabaseDownloadTest, AddressesWithoutSchemeOrPathStillWork)
{
    server.Page("/", NewDatabase(200));
    server.Start();
    const std::string hostAndPort = "127.0.0.1:" + std::to_string(server.port);
    EXPECT_EQ(DownloadDatabase(hostAndPort, databasePath, options, &reason), UpdateSucceeded)
        << reason;
    EXPECT_EQ(Database(), NewDatabase(200));
}

TEST(UpdateUrlTest, SplitsHostAndPath)
{
    const struct
    {
        const char* url;
        const char* host;
        const char* path;
    } rows[] = {
        {"http://example.test/updates/quillmarkdemo.xml", "example.test",
            "/updates/quillmarkdemo.xml"},
        {"http://127.0.0.1:8731/updates/x.xml?v=1#top", "127.0.0.1:8731", "/updates/x.xml?v=1#top"},
        {"example.test/updates/", "example.test", "/updates/"},
        {"http://example.test", "example.test", "/"},
        {"example.test", "example.test", "/"},
        {"HTTP://example.test/x", "HTTP:", "//example.test/x"},
        {"xhttp://example.test/x", "xhttp:", "//example.test/x"},
        {"", "", "/"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.url);
        const UpdateUrl url = SplitUpdateUrl(row.url);
        EXPECT_EQ(url.host, row.host);
        EXPECT_EQ(url.path, row.path);
    }
}

TEST(BodyCheckTest, FindsTagsAcrossChunksAndCountsTheSize)
{
    BodyCheck split(1000);
    EXPECT_TRUE(split.Feed("<r><", 4));
    EXPECT_TRUE(split.Feed("h", 1));
    EXPECT_FALSE(split.Feed("tml>", 4));
    EXPECT_TRUE(split.IsWebPage());

    BodyCheck mixedCase(1000);
    EXPECT_TRUE(mixedCase.Feed("<Html><HTml>", 12)) << "only the two spellings count";

    BodyCheck capped(10);
    EXPECT_TRUE(capped.Feed("0123456789", 10));
    EXPECT_FALSE(capped.Feed("x", 1));
    EXPECT_TRUE(capped.IsTooLarge());
}

} // namespace
