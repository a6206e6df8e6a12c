#include "ShellTestSupport.h"
#include "core/fill/FormSubmitSink.h"
#include "core/fill/PageScripts.h"
#include "shell/app/AboutDialog.h"
#include "support/TestHttpServer.h"

#include <QDesktopServices>

#include <atomic>

namespace {

class CountingSink : public FormSubmitSink
{
public:
    void OnFormSubmit() override { ++count; }
    int count = 0;
};

// A form whose own submit handler marks the data it sends, and the page the
// form goes to, which reports whether the mark arrived.
const char* const formPage = R"(<html><body>
<form id="f" action="/done" method="post">
  <input name="title" value="t"><input type="hidden" name="own" value="no">
  <button id="send" type="submit">Send</button>
</form>
<script>
document.getElementById('f').onsubmit = function () {
    this.elements['own'].value = 'yes';
};
</script>
</body></html>)";

class BrowserTest : public ::testing::Test
{
protected:
    BrowserTest()
    {
        server.Page("/form", formPage);
        server.server.Post(
            "/done", [this](const httplib::Request& request, httplib::Response& response) {
                ownHandlerRan = request.get_param_value("own") == "yes";
                ++posts;
                response.set_content("<html><body>Received</body></html>", "text/html");
            });
        server.server.Get("/slow", [this](const httplib::Request&, httplib::Response& response) {
            ++slowRequests;
            server.AwaitRelease();
            response.set_content("<html><body>slow</body></html>", "text/html");
        });
        server.Start();
        browser.setFormSubmitSink(sink);
        browser.resize(800, 600);
        browser.show();
    }

    // Loads the form page and hooks its form `hooks` times.
    void LoadHookedForm(int hooks)
    {
        browser.navigate(server.Url("/form"));
        ASSERT_TRUE(WaitForPage(&browser, QStringLiteral("/form")));
        for (int i = 0; i < hooks; ++i) {
            RunScriptAndWait(&browser,
                QStringLiteral("quillmark.hookForm(document.forms[0]); true"),
                BrowserView::scriptWorld);
        }
    }

    void SubmitByClick()
    {
        RunScriptAndWait(&browser, QStringLiteral("document.getElementById('send').click(); true"));
        ASSERT_TRUE(WaitFor([&] {
            return browser.url().path() == QStringLiteral("/done") && !browser.isLoading();
        }));
    }

    // Reports travel in order: once a later hooked submission has reported,
    // any report of what came before it is in as well.
    void SettleReports()
    {
        const int before = sink.count;
        LoadHookedForm(1);
        SubmitByClick();
        ASSERT_TRUE(WaitFor([&] { return sink.count > before; }));
        EXPECT_EQ(sink.count, before + 1);
    }

    TestHttpServer server;
    CountingSink sink;
    BrowserView browser;
    std::atomic<bool> ownHandlerRan {false};
    std::atomic<int> posts {0};
    std::atomic<int> slowRequests {0};
};

TEST_F(BrowserTest, LoadingEndsOnlyOnceTheLastNavigationFinished)
{
    browser.navigate(server.Url("/form"));
    EXPECT_TRUE(browser.isLoading());
    ASSERT_TRUE(WaitForPage(&browser, QStringLiteral("/form")));

    // The slow page comes once the test has seen it still loading.
    server.Hold();
    browser.navigate(server.Url("/slow"));
    EXPECT_TRUE(browser.isLoading());
    ASSERT_TRUE(WaitFor([&] { return slowRequests == 1; }));
    EXPECT_TRUE(browser.isLoading()) << "the slow page is still loading";
    server.Release();
    ASSERT_TRUE(WaitForPage(&browser, QStringLiteral("/slow")));
    EXPECT_EQ(
        RunScriptAndWait(&browser, "document.body.textContent").toString(), QStringLiteral("slow"));

    // A navigation that replaces one still loading: only the second counts.
    server.Hold();
    browser.navigate(server.Url("/slow"));
    browser.navigate(server.Url("/form"));
    ASSERT_TRUE(WaitForPage(&browser, QStringLiteral("/form")));
    EXPECT_EQ(RunScriptAndWait(&browser, "document.forms.length").toInt(), 1);
    server.Release();

    browser.navigate("");
    ASSERT_TRUE(WaitForPage(&browser, QStringLiteral("about:blank")));
}

TEST_F(BrowserTest, AddressesWithoutSchemeOpenAndNoNavigationStaysLoading)
{
    const std::string address = server.Url("/form");
    browser.navigate(address.substr(std::string("http://").size()));
    ASSERT_TRUE(WaitForPage(&browser, QStringLiteral("/form")));
    EXPECT_EQ(browser.url().toString().toStdString(), address);

    // An address the engine hands elsewhere never starts a load of its own.
    browser.navigate("mailto:someone@example.test");
    EXPECT_TRUE(browser.isLoading());
    EXPECT_TRUE(WaitFor([&] { return !browser.isLoading(); }, 15000));

    // A failed load ends as well.
    browser.navigate("http://127.0.0.1:1/refused");
    EXPECT_TRUE(WaitFor([&] { return !browser.isLoading(); }));
}

TEST_F(BrowserTest, NewWindowsOpenInTheSameView)
{
    server.Page("/opener", R"(<html><body>
<a id="link" href="/form?from=link" target="_blank">link</a>
</body></html>)");
    const struct
    {
        const char* action;
        const char* query;
    } rows[] = {
        {"document.getElementById('link').click()", "from=link"},
        {"window.open('/form?from=script')", "from=script"},
        {"window.open('/form?from=named', 'other', 'width=200')", "from=named"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.query);
        browser.navigate(server.Url("/opener"));
        ASSERT_TRUE(WaitForPage(&browser, QStringLiteral("/opener")));
        RunScriptAndWait(&browser,
            QStringLiteral("setTimeout(function () { %1; }); true").arg(QLatin1String(row.action)));
        ASSERT_TRUE(WaitFor([&] {
            return browser.url().query() == QLatin1String(row.query) && !browser.isLoading();
        })) << browser.url().toString().toStdString();
        EXPECT_EQ(RunScriptAndWait(&browser, "document.forms.length").toInt(), 1);
    }
}

TEST_F(BrowserTest, HookedFormReportsEverySubmissionOnceAndKeepsItsOwnHandler)
{
    LoadHookedForm(1);
    SubmitByClick();
    ASSERT_TRUE(WaitFor([&] { return sink.count == 1; }));
    EXPECT_TRUE(ownHandlerRan) << "the page's own submit handler still runs";
    EXPECT_EQ(posts, 1);

    // Hooked twice, as two fills of one page do: still one call a submission.
    LoadHookedForm(2);
    SubmitByClick();
    ASSERT_TRUE(WaitFor([&] { return sink.count == 2; }));
    SettleReports();
    EXPECT_EQ(sink.count, 3);
    EXPECT_EQ(posts, 3);
}

TEST_F(BrowserTest, AFormNobodyHookedReportsNothing)
{
    LoadHookedForm(0);
    SubmitByClick();
    SettleReports();
    EXPECT_EQ(sink.count, 1);
}

TEST_F(BrowserTest, PageScriptsCannotReachTheSink)
{
    LoadHookedForm(0);
    const QVariant seen = RunScriptAndWait(&browser, QStringLiteral(R"(
        (function () {
            var found = [];
            if (typeof qt !== 'undefined') found.push('qt');
            if (typeof quillmark !== 'undefined') found.push('quillmark');
            if (typeof QWebChannel !== 'undefined') found.push('QWebChannel');
            if (window.qt && window.qt.webChannelTransport) found.push('transport');
            return found.join(',');
        })())"));
    EXPECT_EQ(seen.toString(), QString());
    // A page script that submits its form by script is no hooked submission.
    RunScriptAndWait(&browser, QStringLiteral("document.forms[0].requestSubmit(); true"));
    ASSERT_TRUE(WaitForPage(&browser, QStringLiteral("/done")));
    SettleReports();
    EXPECT_EQ(sink.count, 1);
}

// The page as the submission watch reads it holds the HTML of every frame
// of its own origin, nested ones too, in document order; a frame of another
// origin is left out and stops nothing.
TEST(PageHtmlTest, HoldsTheFramesOfTheSameOriginAtAnyDepth)
{
    TestHttpServer other;
    other.Page("/foreign", "<html><body>foreign text</body></html>");
    other.Start();
    TestHttpServer server;
    server.Page("/page",
        "<html><body><p>main text</p><iframe src='" + other.Url("/foreign") +
            "'></iframe><img name='documentElement'><iframe src='/outer'></iframe>"
            "<p>after the frames</p></body></html>");
    server.Page("/outer",
        "<html><body><p>outer text</p><iframe name='querySelectorAll' src='/inner'></iframe>"
        "</body></html>");
    server.Page("/inner", "<html><body><p>inner text</p></body></html>");
    server.Start();

    BrowserView browser;
    browser.navigate(server.Url("/page"));
    ASSERT_TRUE(WaitForPage(&browser, QStringLiteral("/page")));
    ASSERT_TRUE(WaitFor([&] {
        return RunScriptAndWait(&browser,
                   QStringLiteral(
                       "document.getElementsByTagName('iframe')[1].contentDocument"
                       ".getElementsByTagName('iframe')[0].contentDocument.body.textContent"))
                   .toString() == QStringLiteral("inner text");
    }));

    QObject context;
    std::optional<std::string> html;
    browser.readPageHtml(&context, [&](const std::string& text) { html = text; });
    ASSERT_TRUE(WaitFor([&] { return html.has_value(); }));
    const std::size_t main = html->find("main text");
    const std::size_t after = html->find("after the frames");
    const std::size_t outer = html->find("outer text");
    const std::size_t inner = html->find("inner text");
    ASSERT_NE(inner, std::string::npos) << *html;
    EXPECT_LT(main, after);
    EXPECT_LT(after, outer) << "the main document comes whole before its frames";
    EXPECT_LT(outer, inner);
    EXPECT_EQ(html->find("foreign text"), std::string::npos);

    // The page's text, as a person reads it, comes from the same documents
    // in the same order.
    const std::string text = RunScriptAndWait(
        &browser, QString::fromStdString(PageTextScript()), BrowserView::scriptWorld)
                                 .toString()
                                 .toStdString();
    EXPECT_EQ(text.find('<'), std::string::npos) << text;
    EXPECT_LT(text.find("main text"), text.find("after the frames")) << text;
    EXPECT_LT(text.find("after the frames"), text.find("outer text"));
    EXPECT_LT(text.find("outer text"), text.find("inner text"));
    EXPECT_NE(text.find("inner text"), std::string::npos);
    EXPECT_EQ(text.find("foreign text"), std::string::npos);
}

// Receives the addresses the About box hands to the user's web browser.
class UrlCatcher : public QObject
{
    Q_OBJECT
public slots:
    void open(const QUrl& url) { urls << url; }

public:
    QList<QUrl> urls;
};

TEST(AboutDialogTest, ShowsItsPageAndOpensTheLinkOutside)
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher, "open");
    AboutDialog about;
    about.show();
    BrowserView* browser = about.browser();
    ASSERT_TRUE(WaitForPage(browser, QStringLiteral("home_link.html")));
    const QString href =
        RunScriptAndWait(browser, QStringLiteral("document.querySelector('a').href")).toString();
    EXPECT_TRUE(href.startsWith(QStringLiteral("http://"))) << href.toStdString();
    EXPECT_EQ(RunScriptAndWait(browser, QStringLiteral("document.querySelector('a').textContent"))
                  .toString(),
        href);
    EXPECT_EQ(
        RunScriptAndWait(browser, QStringLiteral("document.querySelector('a').target")).toString(),
        QStringLiteral("_blank"));

    RunScriptAndWait(browser, QStringLiteral("document.querySelector('a').click(); true"));
    EXPECT_TRUE(WaitFor([&] { return !catcher.urls.isEmpty(); }));
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls[0].toString(), href);
    EXPECT_TRUE(browser->url().toString().contains(QStringLiteral("home_link.html")))
        << "the About box keeps its own page";
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
}

} // namespace

#include "BrowserTest.moc"
