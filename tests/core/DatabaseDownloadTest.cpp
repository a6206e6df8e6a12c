#include "core/update/DatabaseDownload.h"

#include "support/ClosedPort.h"
#include "support/TemporaryDirectory.h"
#include "support/TestHttpServer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <future>
#include <mutex>
#include <sys/stat.h>

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

    // Serves `parts` at `path`, each part as its own write. A part is sent
    // only once the client has received every byte before it, or has
    // finished, so that the parts arrive in separate reads however slowly
    // either side runs.
    void ServeInParts(const std::string& path, std::vector<std::string> parts, int status = 200)
    {
        std::size_t length = 0;
        for (const std::string& part : parts)
            length += part.size();
        server.server.Get(path,
            [this, parts, status, length](const httplib::Request&, httplib::Response& response) {
                response.status = status;
                if (length == 0) {
                    response.set_content("", "text/xml");
                    return;
                }
                const int download = downloadsDone;
                response.set_content_provider(length, "text/xml",
                    [this, parts, download](std::size_t, std::size_t, httplib::DataSink& sink) {
                        std::uint64_t sent = 0;
                        for (const std::string& part : parts) {
                            if (stopping || !sink.write(part.data(), part.size()))
                                return false;
                            sent += part.size();
                            while (bodyReceived < sent && downloadsDone == download && !stopping)
                                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                        }
                        return true;
                    });
            });
    }

    int Download(const std::string& path)
    {
        outcome = {};
        bodyReceived = 0;
        DownloadControl control;
        control.progress = [this](std::uint64_t now, std::uint64_t) { bodyReceived = now; };
        const int result =
            DownloadDatabase(server.Url(path), databasePath, options, &outcome, control);
        ++downloadsDone;
        return result;
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
    Result outcome;
    std::atomic<bool> stopping {false};
    // The body bytes the download under way received, and how many
    // downloads finished: what ServeInParts waits for.
    std::atomic<std::uint64_t> bodyReceived {0};
    std::atomic<int> downloadsDone {0};
};

TEST_F(DatabaseDownloadTest, BodyOfManyReadsReplacesTheDatabaseByteForByte)
{
    const std::string body = NewDatabase(1500000);
    std::vector<std::string> parts;
    for (std::size_t at = 0; at < body.size(); at += 300000)
        parts.push_back(body.substr(at, 300000));
    ServeInParts("/updates/quillmarkdemo.xml", parts);
    server.Start();

    EXPECT_EQ(Download("/updates/quillmarkdemo.xml"), UpdateSucceeded) << outcome.Reason();
    EXPECT_EQ(Database(), body);
    EXPECT_EQ(Temporary(), body) << "the download stays in the temporary folder";

    // A second update in the same run uses the same client again.
    server.Page("/second.xml", oldDatabase);
    EXPECT_EQ(Download("/second.xml"), UpdateSucceeded) << outcome.Reason();
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
        EXPECT_NE(outcome.Reason().find("web page"), std::string::npos) << outcome.Reason();
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

    const struct
    {
        const char* path;
        const char* reason;
    } rows[] = {
        {"/missing", "the server answered with HTTP status 404"},
        {"/broken", "the server answered with HTTP status 500"},
        {"/empty", "the body is empty"},
        {"/malformed", "the body is no XML document: "},
        {"/foreign", "the body is no directory database"},
        {"/text", "the body is no XML document: "},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        EXPECT_EQ(Download(row.path), UpdateFailed);
        EXPECT_EQ(outcome.Reason().rfind(row.reason, 0), 0u) << outcome.Reason();
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
    EXPECT_NE(outcome.Reason().find("larger"), std::string::npos) << outcome.Reason();
    EXPECT_EQ(Database(), oldDatabase);

    // The server would keep the connection ten seconds before it closed it:
    // the stall limit, a second, ends the transfer first.
    EXPECT_EQ(Download("/stalled"), UpdateFailed);
    EXPECT_NE(outcome.Reason().find("too slow"), std::string::npos) << outcome.Reason();
    EXPECT_EQ(Database(), oldDatabase);
}

TEST_F(DatabaseDownloadTest, RefusedConnectionAndFailedReplaceAreFailures)
{
    // A port that stays ours and refuses, whatever else runs meanwhile.
    const ClosedPort closed;
    ASSERT_TRUE(closed.Bound());
    const std::string address =
        "http://127.0.0.1:" + std::to_string(closed.Port()) + "/updates/quillmarkdemo.xml";
    EXPECT_EQ(DownloadDatabase(address, databasePath, options, &outcome), UpdateFailed);
    EXPECT_NE(outcome.Reason().find("the download failed"), std::string::npos) << outcome.Reason();
    EXPECT_EQ(Database(), oldDatabase);

    TestHttpServer other;
    other.Page("/updates/quillmarkdemo.xml", NewDatabase(100));
    other.Start();
    const std::string nowhere = folder.FilePath("no/such/folder/dirdata.xml");
    EXPECT_EQ(DownloadDatabase(other.Url("/updates/quillmarkdemo.xml"), nowhere, options, &outcome),
        UpdateFailed);
    EXPECT_EQ(
        outcome.Reason(), "cannot create a file beside " + nowhere + ": No such file or directory");
    EXPECT_EQ(outcome.ErrorNumber(), ENOENT);

    EXPECT_EQ(DownloadDatabase("", databasePath, options), UpdateInternalError);
    EXPECT_EQ(DownloadDatabase(other.Url("/"), "", options, &outcome), UpdateInternalError);
    EXPECT_EQ(outcome.Reason(), "no update address or database path");
}

TEST_F(DatabaseDownloadTest, AddressesWithoutSchemeOrPathStillWork)
{
    server.Page("/", NewDatabase(200));
    server.Start();
    const std::string hostAndPort = "127.0.0.1:" + std::to_string(server.port);
    EXPECT_EQ(DownloadDatabase(hostAndPort, databasePath, options, &outcome), UpdateSucceeded)
        << outcome.Reason();
    EXPECT_EQ(Database(), NewDatabase(200));
}

TEST_F(DatabaseDownloadTest, TemporaryFileIsMadeAnewAndNeverThroughALink)
{
    server.Page("/updates/quillmarkdemo.xml", NewDatabase(300));
    server.Start();
    const std::filesystem::path temporary = folder.FilePath("tmp/ddupdate.xml");
    const std::string victimBytes = "the user's own file\n";
    const std::string victim = folder.Write("victim.txt", victimBytes);
    const std::filesystem::path nowhere = folder.FilePath("made-through-a-link");

    const struct
    {
        const char* planted;
        void (*plant)(const std::filesystem::path& at, const std::string& target);
        std::string target;
    } rows[] = {
        {"a link to the user's file",
            [](const std::filesystem::path& at, const std::string& target) {
                std::filesystem::create_symlink(target, at);
            },
            victim},
        {"a link to a file yet to be",
            [](const std::filesystem::path& at, const std::string& target) {
                std::filesystem::create_symlink(target, at);
            },
            nowhere.string()},
        {"an old download anyone may write",
            [](const std::filesystem::path& at, const std::string&) {
                std::ofstream(at) << "old download";
                std::filesystem::permissions(at, std::filesystem::perms::all);
            },
            ""},
        {"nothing", [](const std::filesystem::path&, const std::string&) {}, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.planted);
        std::filesystem::remove(temporary);
        row.plant(temporary, row.target);

        EXPECT_EQ(Download("/updates/quillmarkdemo.xml"), UpdateSucceeded) << outcome.Reason();
        EXPECT_EQ(TemporaryDirectory::Read(victim), victimBytes);
        EXPECT_FALSE(std::filesystem::exists(nowhere));
        struct stat info;
        ASSERT_EQ(::lstat(temporary.c_str(), &info), 0);
        EXPECT_TRUE(S_ISREG(info.st_mode));
        EXPECT_EQ(info.st_mode & 07777, 0600u);
        EXPECT_EQ(Temporary(), NewDatabase(300));
        EXPECT_EQ(Database(), NewDatabase(300));
        folder.Write("dirdata.xml", oldDatabase);
    }

    // What cannot be removed is not written through either.
    std::filesystem::remove(temporary);
    std::filesystem::create_directory(temporary);
    EXPECT_EQ(Download("/updates/quillmarkdemo.xml"), UpdateFailed);
    EXPECT_NE(outcome.Reason().find(temporary.string()), std::string::npos) << outcome.Reason();
    EXPECT_EQ(Database(), oldDatabase);
}

TEST_F(DatabaseDownloadTest, TrickleIsCutOffAtTheOverallLimit)
{
    server.Trickle("/trickle", "<r>  ", 20);
    server.Start();
    options.transferTimeout = std::chrono::milliseconds(400);
    // Without the limit the size cap ends the trickle, seconds later.
    options.maxBodyBytes = 1000;

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Download("/trickle"), UpdateFailed);
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    // libcurl's overall limit, not its connect or stall limit, ended it.
    EXPECT_NE(outcome.Reason().find("Operation timed out"), std::string::npos) << outcome.Reason();
    // libcurl counts the 400 ms from a later start on a clock of its own,
    // which may run a little slower than ours (it is not slewed) and which
    // it reads in whole milliseconds. Ten milliseconds less than the limit
    // cover all of that; a limit that cut the transfer short would not be.
    EXPECT_GE(took.count(), 390.0) << "the bytes kept coming until the limit";
    EXPECT_EQ(Database(), oldDatabase);
}

TEST_F(DatabaseDownloadTest, CancelFromAnotherThreadStopsTheTransfer)
{
    constexpr std::size_t length = 1000000;
    server.Trickle("/sized", std::string(1000, ' '), 10, length);
    std::atomic<bool> asked {false};
    server.server.Get("/silent", [&](const httplib::Request&, httplib::Response& response) {
        asked = true;
        for (int i = 0; i < 500 && !stopping; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        response.set_content(NewDatabase(100), "text/xml");
    });
    server.Start();

    std::atomic<bool> cancel {false};
    std::mutex mutex;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> reports;
    DownloadControl control;
    control.cancel = &cancel;
    control.progress = [&](std::uint64_t received, std::uint64_t total) {
        const std::lock_guard<std::mutex> lock(mutex);
        reports.emplace_back(received, total);
    };
    auto download = std::async(std::launch::async, [&] {
        return DownloadDatabase(server.Url("/sized"), databasePath, options, &outcome, control);
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    const auto received = [&] {
        const std::lock_guard<std::mutex> lock(mutex);
        return reports.empty() ? 0 : reports.back().first;
    };
    while (received() < 3000 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_GE(received(), 3000u);

    // Uncancelled, the body would come whole, ten seconds later.
    cancel = true;
    EXPECT_EQ(download.get(), UpdateCancelled) << outcome.Reason();
    EXPECT_EQ(outcome.Reason(), "the update was cancelled");
    EXPECT_EQ(outcome.ErrorNumber(), ECANCELED);
    EXPECT_EQ(Database(), oldDatabase);
    for (std::size_t i = 1; i < reports.size(); ++i)
        EXPECT_LE(reports[i - 1].first, reports[i].first);
    EXPECT_EQ(reports.back().second, length) << "the size was announced";
    EXPECT_LT(reports.back().first, length);

    // A cancel that came first ends the update before it starts.
    EXPECT_EQ(DownloadDatabase(server.Url("/sized"), databasePath, options, &outcome, control),
        UpdateCancelled);
    EXPECT_EQ(Database(), oldDatabase);

    // So does one while the server has not even answered.
    cancel = false;
    download = std::async(std::launch::async, [&] {
        return DownloadDatabase(server.Url("/silent"), databasePath, options, &outcome, control);
    });
    while (!asked && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_TRUE(asked);
    // Uncancelled, a database would come ten seconds later.
    cancel = true;
    EXPECT_EQ(download.get(), UpdateCancelled) << outcome.Reason();
    EXPECT_EQ(Database(), oldDatabase);
}

TEST_F(DatabaseDownloadTest, HttpsAddressesAreSpokenOverTls)
{
    server.Page("/updates/quillmarkdemo.xml", NewDatabase(100));
    server.Start();
    // A plain HTTP server cannot answer a TLS handshake: the failure must
    // come from the handshake, not from a scheme the client refused.
    const std::string address =
        "https://127.0.0.1:" + std::to_string(server.port) + "/updates/quillmarkdemo.xml";
    EXPECT_EQ(DownloadDatabase(address, databasePath, options, &outcome), UpdateFailed);
    EXPECT_EQ(outcome.Reason().find("not supported"), std::string::npos) << outcome.Reason();
    EXPECT_TRUE(outcome.Reason().find("SSL") != std::string::npos ||
        outcome.Reason().find("TLS") != std::string::npos)
        << outcome.Reason();
    EXPECT_EQ(Database(), oldDatabase);
}

TEST(UpdateUrlTest, SplitsSchemeHostAndPath)
{
    const struct
    {
        const char* url;
        const char* scheme;
        const char* host;
        const char* path;
    } rows[] = {
        {"http://example.test/updates/quillmarkdemo.xml", "http", "example.test",
            "/updates/quillmarkdemo.xml"},
        {"http://127.0.0.1:8731/updates/x.xml?v=1#top", "http", "127.0.0.1:8731",
            "/updates/x.xml?v=1#top"},
        {"example.test/updates/", "http", "example.test", "/updates/"},
        {"http://example.test", "http", "example.test", "/"},
        {"example.test", "http", "example.test", "/"},
        {"HTTP://example.test/x", "http", "HTTP:", "//example.test/x"},
        {"xhttp://example.test/x", "http", "xhttp:", "//example.test/x"},
        {"", "http", "", "/"},
        {"https://example.test/updates/quillmarkdemo.xml", "https", "example.test",
            "/updates/quillmarkdemo.xml"},
        {"https://example.test:8443", "https", "example.test:8443", "/"},
        {"HTTPS://example.test/x", "http", "HTTPS:", "//example.test/x"},
        {"http://https://example.test/x", "http", "https:", "//example.test/x"},
        {"ftp://example.test/x", "http", "ftp:", "//example.test/x"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.url);
        const UpdateUrl url = SplitUpdateUrl(row.url);
        EXPECT_EQ(url.scheme, row.scheme);
        EXPECT_EQ(url.host, row.host);
        EXPECT_EQ(url.path, row.path);
    }
}

TEST(UpdateUrlTest, OnlyHttpAndHttpsServersAreSupported)
{
    const struct
    {
        const char* url;
        bool supported;
    } rows[] = {
        {"http://127.0.0.1:8731", true},
        {"https://updates.example.test", true},
        {"http://example.test/quillmark", true},
        {"https://h", true},
        {"ftp://example.test", false},
        {"file:///srv/updates", false},
        {"HTTP://example.test", false},
        {"Https://example.test", false},
        {"example.test", false},
        {"//example.test", false},
        {"http:/example.test", false},
        {"http://", false},
        {"https://", false},
        {"http:///updates", false},
        {" http://example.test", false},
        {"", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.url);
        EXPECT_EQ(IsServerUrlSupported(row.url), row.supported);
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
