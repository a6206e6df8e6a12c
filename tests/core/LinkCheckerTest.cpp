#include "core/record/LinkChecker.h"

#include "support/ClosedPort.h"
#include "support/TestHttpServer.h"

#include <gtest/gtest.h>

#include <map>
#include <mutex>
#include <thread>

namespace {

const std::string title = "Ten \"Herbs\", <script>x</script> for Shade";
const std::string webAddress = "http://garden.test/";

std::string Article(const std::string& link)
{
    return "<html><body><h1>Ten &quot;Herbs&quot;, &lt;script&gt;x&lt;/script&gt; for Shade</h1>"
           "<p>By Jo Lee.</p>" +
        link + "</body></html>";
}

void Answer(TestHttpServer& server, const std::string& path, int status, std::string body,
    std::string type = "text/html; charset=utf-8")
{
    server.server.Get(path, [=](const httplib::Request&, httplib::Response& response) {
        response.status = status;
        response.set_content(body, type.c_str());
    });
}

void Redirect(TestHttpServer& server, const std::string& path, const std::string& to)
{
    server.server.Get(path,
        [=](const httplib::Request&, httplib::Response& response) { response.set_redirect(to); });
}

std::map<std::string, LinkCheckReport> CheckAll(const LinkChecker& checker,
    const std::vector<LinkCheckTarget>& targets, bool* completed = nullptr)
{
    std::map<std::string, LinkCheckReport> reports;
    const bool done = checker.Check(targets, title, webAddress,
        [&](const LinkCheckReport& report) { reports.emplace(report.key, report); });
    if (completed)
        *completed = done;
    return reports;
}

TEST(LinkCheckerTest, EveryKindOfPageGetsItsResult)
{
    TestHttpServer server;
    Answer(server, "/followed", 200, Article("<a href='https://www.garden.test'>Jo</a>"));
    Answer(server, "/nofollow", 200, Article("<a rel=nofollow href='http://garden.test/'>Jo</a>"));
    Answer(server, "/nolink", 200, Article("<a href='http://elsewhere.test/'>Jo</a>"));
    Answer(server, "/moved-here", 200, Article("<a href='/x'>here</a><a href=//garden.test>J</a>"));
    Redirect(server, "/redirect", "/moved-here");
    Redirect(server, "/loop", "/loop");
    Answer(server, "/gone404", 404, "<p>no</p>");
    Answer(server, "/gone410", 410, "no", "image/png");
    Answer(server, "/error500", 500, Article("<a href='http://garden.test/'>Jo</a>"));
    Answer(server, "/image", 200, "\x89PNG\r\n", "image/png");
    Answer(server, "/huge", 200, std::string((5 << 20) + 1, ' '));
    Answer(server, "/latin1", 200,
        "<p>Ten \"Herbs\", &lt;script>x&lt;/script> for Shade \xe9t\xe9</p>"
        "<a href='http://garden.test/'>\xff\xfe</a>",
        "text/html; charset=ISO-8859-1");
    server.server.Get("/endless", [](const httplib::Request&, httplib::Response& response) {
        response.set_chunked_content_provider(
            "text/html", [](std::size_t, httplib::DataSink& sink) {
                const std::string piece(64 * 1024, 'a');
                return sink.write(piece.data(), piece.size());
            });
    });
    server.Start();
    ClosedPort closed;
    ASSERT_TRUE(closed.Bound());

    const struct
    {
        std::string path;
        LinkResult result;
        const char* reason;
        bool titleFound;
    } cases[] = {
        {"/followed", LinkResult::Followed, "", true},
        {"/nofollow", LinkResult::Nofollow, "", true},
        {"/nolink", LinkResult::Missing, "", true},
        {"/redirect", LinkResult::Followed, "", true},
        {"/gone404", LinkResult::PageGone, "", false},
        {"/gone410", LinkResult::PageGone, "", false},
        {"/error500", LinkResult::Unreachable, "HTTP 500", false},
        {"/image", LinkResult::Unreachable, "not HTML (image/png)", false},
        {"/huge", LinkResult::Unreachable, "too large (over 5 MB)", false},
        {"/endless", LinkResult::Unreachable, "too large (over 5 MB)", false},
        {"/loop", LinkResult::Unreachable, "redirect loop", false},
        {"/latin1", LinkResult::Followed, "", true},
    };
    std::vector<LinkCheckTarget> targets;
    for (const auto& row : cases)
        targets.push_back({row.path, server.Url(row.path)});
    targets.push_back(
        {"refused", "http://127.0.0.1:" + std::to_string(closed.Port()) + "/article.html"});
    targets.push_back({"no address", "garden.test/herbs"});

    bool completed = false;
    const auto reports = CheckAll(LinkChecker(), targets, &completed);
    EXPECT_TRUE(completed);
    ASSERT_EQ(reports.size(), targets.size());
    for (const auto& row : cases) {
        const LinkCheckReport& report = reports.at(row.path);
        EXPECT_EQ(report.result, row.result) << row.path << ": " << report.reason;
        EXPECT_EQ(report.reason, row.reason) << row.path;
        EXPECT_EQ(report.titleFound, row.titleFound) << row.path;
        EXPECT_EQ(report.address, server.Url(row.path));
    }
    EXPECT_EQ(reports.at("/redirect").finalAddress, server.Url("/moved-here"));
    EXPECT_EQ(reports.at("/error500").httpStatus, 500);
    EXPECT_EQ(reports.at("refused").result, LinkResult::Unreachable);
    EXPECT_EQ(reports.at("refused").reason, "connection refused");
    EXPECT_EQ(reports.at("no address").reason, "not a web address");

    const RecordTime now = RecordTimeFromUnixSeconds(1);
    EXPECT_EQ(reports.at("/error500").ToLinkCheck(now),
        (LinkCheck {now, LinkResult::Unreachable, "HTTP 500"}));
    EXPECT_EQ(
        reports.at("/followed").ToLinkCheck(now), (LinkCheck {now, LinkResult::Followed, ""}));
}

TEST(LinkCheckerTest, SlowPagesTimeOutAndCancelStopsTheRest)
{
    TestHttpServer server;
    server.Trickle("/slow", "<p>", 20);
    server.Start();

    LinkCheckOptions options;
    options.pageTimeout = std::chrono::milliseconds(300);
    const auto reports = CheckAll(LinkChecker(options), {{"slow", server.Url("/slow")}});
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports.at("slow").result, LinkResult::Unreachable);
    EXPECT_EQ(reports.at("slow").reason, "timed out");

    // Without a time limit only the cancel ends these.
    TestHttpServer endless;
    endless.Trickle("/slow", "<p>", 20);
    endless.Start();
    options.pageTimeout = std::chrono::hours(1);
    std::atomic<bool> cancel {false};
    int finished = 0;
    std::thread canceller([&] {
        while (endless.trickling < 1)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        cancel = true;
    });
    const bool done = LinkChecker(options).Check(
        {{"a", endless.Url("/slow")}, {"b", endless.Url("/slow")}}, title, webAddress,
        [&](const LinkCheckReport&) { ++finished; }, &cancel);
    canceller.join();
    EXPECT_FALSE(done);
    EXPECT_EQ(finished, 0);
}

// Pages that answer after a pause, counting how many requests each server
// and all of them hold at once.
struct BusyCounter
{
    void Enter(int site)
    {
        std::lock_guard<std::mutex> lock(mutex);
        const int here = ++running[site];
        ++total;
        mostPerSite = std::max(mostPerSite, here);
        mostInAll = std::max(mostInAll, total);
    }
    void Leave(int site)
    {
        std::lock_guard<std::mutex> lock(mutex);
        --running[site];
        --total;
    }

    std::mutex mutex;
    std::map<int, int> running;
    int total = 0;
    int mostPerSite = 0;
    int mostInAll = 0;
};

TEST(LinkCheckerTest, OnePageAtATimePerSiteAndFourInAll)
{
    constexpr int sites = 6;
    constexpr int pagesPerSite = 3;
    BusyCounter counter;
    std::vector<std::unique_ptr<TestHttpServer>> servers;
    std::vector<LinkCheckTarget> targets;
    for (int site = 0; site < sites; ++site) {
        auto server = std::make_unique<TestHttpServer>();
        server->server.Get(
            R"(/(\d+))", [&counter, site](const httplib::Request&, httplib::Response& response) {
                counter.Enter(site);
                std::this_thread::sleep_for(std::chrono::milliseconds(30));
                counter.Leave(site);
                response.set_content(Article("<a href='http://garden.test'>J</a>"), "text/html");
            });
        server->Start();
        for (int page = 0; page < pagesPerSite; ++page) {
            const std::string path = "/" + std::to_string(page);
            targets.push_back({std::to_string(site) + path, server->Url(path)});
        }
        servers.push_back(std::move(server));
    }
    const auto reports = CheckAll(LinkChecker(), targets);
    ASSERT_EQ(reports.size(), targets.size());
    for (const auto& [key, report] : reports)
        EXPECT_EQ(report.result, LinkResult::Followed) << key;
    EXPECT_EQ(counter.mostPerSite, 1);
    EXPECT_LE(counter.mostInAll, 4);
}

} // namespace
