#include "ShellTestSupport.h"
#include "shell/app/MainWindow.h"
#include "shell/browser/BrowserView.h"
#include "support/ClosedPort.h"
#include "support/TemporaryDirectory.h"
#include "support/TestHttpServer.h"

#include <QAction>

namespace {

// The bundled pages' look: their style sheet and their logo arrived.
const char* const lookScript =
    "[getComputedStyle(document.querySelector('header')).backgroundColor,"
    " document.querySelector('header img').naturalWidth > 0].join(' ')";

class BundledPagesBrowserTest : public ::testing::Test
{
protected:
    BundledPagesBrowserTest() { folder.Write("dirdata.xml", "<r/>"); }

    std::unique_ptr<MainWindow> Open(const std::string& serverUrl)
    {
        MainWindow::Settings settings = TestSettings(server, folder);
        settings.serverUrl = QString::fromStdString(serverUrl);
        return std::make_unique<MainWindow>(settings);
    }

    static void Trigger(MainWindow& dialog, const char* command)
    {
        Child<QAction>(dialog, command)->trigger();
    }

    static QString Title(BrowserView* browser)
    {
        return RunScriptAndWait(browser, QStringLiteral("document.title")).toString();
    }

    TestHttpServer server;
    TemporaryDirectory folder;
    MessageBoxRecorder boxes;
};

TEST_F(BundledPagesBrowserTest, UnreachableMakersServerShowsTheBundledPages)
{
    const ClosedPort closed;
    ASSERT_TRUE(closed.Bound());
    const auto dialog = Open("http://127.0.0.1:" + std::to_string(closed.Port()));
    BrowserView* browser = dialog->browser();

    ASSERT_TRUE(WaitForPage(browser, QStringLiteral("qrc:/updates/index.html")));
    EXPECT_EQ(Title(browser), QStringLiteral("Welcome to Quillmark V1.0"));
    EXPECT_TRUE(RunScriptAndWait(browser, "document.body.innerText")
                    .toString()
                    .contains(QStringLiteral("This page opens every time Quillmark starts.")));
    EXPECT_EQ(
        RunScriptAndWait(browser, lookScript).toString(), QStringLiteral("rgb(31, 78, 121) true"));

    const struct
    {
        const char* command;
        QString page;
        QString title;
    } menuPages[] = {
        {"userGuideAction", "qrc:/faqs/quillmarkhelp.shtml", "Quillmark User Guide"},
        {"supportAction", "qrc:/contact/index.html", "Quillmark Support"},
    };
    for (const auto& row : menuPages) {
        SCOPED_TRACE(row.page.toStdString());
        Trigger(*dialog, row.command);
        ASSERT_TRUE(WaitForPage(browser, row.page));
        EXPECT_EQ(browser->url().toString(), row.page);
        EXPECT_EQ(Title(browser), row.title);
        EXPECT_EQ(RunScriptAndWait(browser, lookScript).toString(),
            QStringLiteral("rgb(31, 78, 121) true"));
    }

    // The pages' links to one another name folders, as on the server.
    RunScriptAndWait(browser, "document.querySelector('nav a[href=\"/updates/\"]').click()");
    ASSERT_TRUE(WaitForPage(browser, QStringLiteral("qrc:/updates/index.html")));
    EXPECT_EQ(Title(browser), QStringLiteral("Welcome to Quillmark V1.0"));
    EXPECT_TRUE(boxes.messages.empty());
}

TEST_F(BundledPagesBrowserTest, ReachableServersAndOtherPagesKeepTheirOwn)
{
    server.Page("/updates/", "<html><head><title>Live start</title></head><body></body></html>");
    server.Page("/other/updates/", "<html><head><title>Other</title></head></html>");
    server.Start();
    const auto dialog = Open(server.Url());
    BrowserView* browser = dialog->browser();
    ASSERT_TRUE(WaitForPage(browser, QStringLiteral("/updates/")));
    EXPECT_EQ(browser->url().toString().toStdString(), server.Url("/updates/"));
    EXPECT_EQ(Title(browser), QStringLiteral("Live start"));

    // A server that answers "not found" was reached: its answer stays.
    Trigger(*dialog, "supportAction");
    ASSERT_TRUE(WaitFor([&] {
        return !browser->isLoading() &&
            browser->url().toString().endsWith(QStringLiteral("/contact/"));
    }));
    const auto bundled = [&] { return browser->url().scheme() == QStringLiteral("qrc"); };
    EXPECT_FALSE(WaitFor(bundled, 1000)) << browser->url().toString().toStdString();

    // Another server out of reach, at the maker's paths, is not the maker's.
    const ClosedPort closed;
    ASSERT_TRUE(closed.Bound());
    const std::string elsewhere = "http://127.0.0.1:" + std::to_string(closed.Port()) + "/updates/";
    browser->navigate(elsewhere);
    ASSERT_TRUE(WaitFor([&] { return !browser->isLoading(); }));
    EXPECT_FALSE(WaitFor(bundled, 1000)) << browser->url().toString().toStdString();
    EXPECT_FALSE(browser->lastLoadSucceeded());
    EXPECT_EQ(browser->url().toString().toStdString(), elsewhere);
}

} // namespace
