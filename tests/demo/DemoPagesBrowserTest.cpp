// The demo directories in a real browser: each submission page is filled the
// way the program fills it (element by name or id, with an index among equal
// names), submitted with its own button, and the page that follows, or the
// same page for a directory that answers in place, must show the directory's
// confirmation text.

#include "TestData.h"
#include "common/MessageLog.h"
#include "demo/DemoServer.h"
#include "directorydb/DirectoryDatabase.h"
#include "fill/PlaceholderExpansion.h"
#include "profiles/Profile.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const std::string demoDir = QUILLMARK_DEMO_DIR;
const std::string demoBase = "http://127.0.0.1:8731";
constexpr int kTimeoutMs = 15000;

// Runs the event loop until the `done` handed to `start` is called or the
// time-out passes. A `done` that comes too late finds the loop gone and
// does nothing.
template<typename Start>
bool RunUntilDone(Start start)
{
    struct State
    {
        bool finished = false;
        QPointer<QEventLoop> loop;
    };
    auto state = std::make_shared<State>();
    QEventLoop loop;
    state->loop = &loop;
    QTimer::singleShot(kTimeoutMs, &loop, &QEventLoop::quit);
    start([state] {
        state->finished = true;
        if (state->loop)
            state->loop->quit();
    });
    if (!state->finished)
        loop.exec();
    return state->finished;
}

bool Load(QWebEnginePage& page, const QUrl& url)
{
    auto ok = std::make_shared<bool>(false);
    QMetaObject::Connection connection;
    const bool finished = RunUntilDone([&](auto done) {
        connection =
            QObject::connect(&page, &QWebEnginePage::loadFinished, &page, [ok, done](bool success) {
                *ok = success;
                done();
            });
        page.load(url);
    });
    QObject::disconnect(connection);
    return finished && *ok;
}

std::optional<QVariant> RunScript(QWebEnginePage& page, const QString& script)
{
    auto result = std::make_shared<std::optional<QVariant>>();
    RunUntilDone([&](auto done) {
        page.runJavaScript(script, [result, done](const QVariant& value) {
            *result = value;
            done();
        });
    });
    return *result;
}

QString Html(QWebEnginePage& page)
{
    auto html = std::make_shared<QString>();
    RunUntilDone([&](auto done) {
        page.toHtml([html, done](const QString& text) {
            *html = text;
            done();
        });
    });
    return *html;
}

// Polls the page until its HTML holds `text`, within the time-out.
bool WaitForText(QWebEnginePage& page, const QString& text)
{
    QDeadlineTimer deadline(kTimeoutMs);
    while (!deadline.hasExpired()) {
        if (Html(page).contains(text))
            return true;
        QEventLoop loop;
        QTimer::singleShot(100, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return false;
}

// Writes each item's text into the element the program would find for it
// and answers how many items found an input or a text area.
QString FillScript(const std::vector<DirectoryItem>& items, const Profile& profile)
{
    QJsonArray list;
    for (const DirectoryItem& item : items) {
        list.append(QJsonObject {{"name", QString::fromStdString(item.name)}, {"index", item.index},
            {"value", QString::fromStdString(ExpandPlaceholders(item.value, profile))}});
    }
    return "(function (items) {"
           "  var written = 0, form = null;"
           "  items.forEach(function (item) {"
           "    var found = Array.prototype.filter.call(document.getElementsByTagName('*'),"
           "      function (e) { return e.getAttribute('name') === item.name || e.id === "
           "item.name; });"
           "    var element = found[item.index];"
           "    if (element && (element.tagName === 'INPUT' || element.tagName === 'TEXTAREA')) {"
           "      element.value = item.value; form = element.form; ++written;"
           "    }"
           "  });"
           "  window.filledForm = form;"
           "  return written;"
           "})(" +
        QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Compact)) + ")";
}

Profile SampleProfile()
{
    Profile profile;
    profile.name = "Sample";
    profile.url = "http://garden.example/tomatoes";
    profile.articleTitle = "Ten <b>Tips</b> for O'Brien's Garden";
    profile.articleContent = "First paragraph.\r\n\r\nSecond paragraph.";
    profile.category = "Small Business";
    profile.authorInfo = "Ann grows tomatoes.";
    profile.email = "ann@garden.example";
    profile.firstName = "Ann";
    profile.lastName = "Lee";
    profile.password = "s3cret-Pass";
    return profile;
}

class DemoPagesBrowserTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.Start("127.0.0.1", 0));
        ASSERT_TRUE(database.Load(demoDir + "/www/updates/quillmarkdemo.xml"));
        ASSERT_TRUE(database.GetDirectoryNames(names));
    }

    QUrl Local(const std::string& url) const
    {
        EXPECT_EQ(url.compare(0, demoBase.size(), demoBase), 0) << url;
        return QUrl(QString::fromStdString(
            "http://127.0.0.1:" + std::to_string(server.Port()) + url.substr(demoBase.size())));
    }

    DemoServer server {demoDir + "/www"};
    MessageLog log;
    DirectoryDatabase database {log};
    std::vector<std::string> names;
    QWebEngineProfile profile; // off the record: nothing is written to disk
    QWebEnginePage page {&profile};
};

TEST_F(DemoPagesBrowserTest, EveryDirectoryConfirmsAFilledSubmission)
{
    const Profile profile = SampleProfile();
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const QString marker = QString::fromStdString(database.GetDirectoryOnSubmit(name));
        ASSERT_TRUE(Load(page, Local(database.GetDirectorySubmitPage(name, profile.category, ""))));
        EXPECT_FALSE(Html(page).contains(marker));

        std::vector<DirectoryItem> items;
        database.GetDirectoryItems(name, profile.category, "", items);
        int writable = 0;
        for (const DirectoryItem& item : items)
            writable += item.type == ControlType::ComboBox ? 0 : 1;
        const std::optional<QVariant> written = RunScript(page, FillScript(items, profile));
        ASSERT_TRUE(written);
        EXPECT_EQ(written->toInt(), writable);

        ASSERT_TRUE(RunScript(page, "window.filledForm.querySelector('button').click(); true"));
        EXPECT_TRUE(WaitForText(page, marker)) << Html(page).toStdString();
        const QString html = Html(page);
        EXPECT_TRUE(html.contains("Ten &lt;b&gt;Tips&lt;/b&gt; for O'Brien's Garden") ||
            html.contains("Ten &lt;b&gt;Tips&lt;/b&gt; for O&#39;Brien&#39;s Garden"));
        if (name == "Bizwrite Library") {
            EXPECT_TRUE(html.contains("<dd>Small Business</dd>"));
        }
    }
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(DemoPagesBrowserTest, SectionPageNamesTheSectionOfItsAddress)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Marketing and Advertising", "Marketing and Advertising"},
        {"Small Business", "Small Business"},
        {"", "General Business"},
    };
    for (const auto& [category, section] : cases) {
        SCOPED_TRACE(category);
        ASSERT_TRUE(
            Load(page, Local(database.GetDirectorySubmitPage("Bizwrite Library", category, ""))));
        const std::optional<QVariant> shown =
            RunScript(page, "document.getElementById('section-name').textContent");
        ASSERT_TRUE(shown);
        EXPECT_EQ(shown->toString().toStdString(), section);
    }
}

TEST_F(DemoPagesBrowserTest, RefusedInPlaceSubmissionKeepsTheForm)
{
    ASSERT_TRUE(Load(page, Local(database.GetDirectorySubmitPage("Inkwell Articles", "", ""))));
    ASSERT_TRUE(RunScript(page,
        "document.getElementById('ink-title').value = 'Only a title';"
        "document.querySelector('#ink-form button').click(); true"));
    EXPECT_TRUE(WaitForText(page, "could not be accepted"));
    EXPECT_FALSE(Html(page).contains(
        QString::fromStdString(database.GetDirectoryOnSubmit("Inkwell Articles"))));
    const std::optional<QVariant> formThere =
        RunScript(page, "document.getElementById('ink-form') !== null");
    ASSERT_TRUE(formThere);
    EXPECT_TRUE(formThere->toBool());
}

} // namespace

int main(int argc, char* argv[])
{
    // The browser runs for real, without a display; as root it needs its
    // sandbox switched off.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    ::testing::InitGoogleTest(&argc, argv);
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
