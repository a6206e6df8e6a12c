// The demo directories in the program's own browser: each submission page is
// filled by the program's fill script from the program's fill plan,
// submitted with its own button, and the page that follows, or the same page
// for a directory that answers in place, must show the directory's
// confirmation text, while the submit hook reports the submission.

#include "TestData.h"
#include "core/common/MessageLog.h"
#include "core/directorydb/DirectoryDatabase.h"
#include "core/fill/FillPlan.h"
#include "core/fill/FormSubmitSink.h"
#include "core/fill/PageScripts.h"
#include "core/profiles/Profile.h"
#include "demo/DemoServer.h"
#include "shell/browser/BrowserView.h"
#include "shell/browser/ScriptResults.h"
#include "support/EventLoop.h"
#include "support/SampleProfiles.h"
#include "support/TemporaryDirectory.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QUrl>
#include <QWebEnginePage>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <stdlib.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const std::string demoDir = QUILLMARK_DEMO_DIR;
const std::string demoBase = "http://127.0.0.1:8731";
constexpr int kTimeoutMs = 15000;

const std::vector<std::string> categories = {"Marketing and Advertising", "Small Business", ""};

class CountingSink : public FormSubmitSink
{
public:
    void OnFormSubmit() override { ++submissions; }
    int submissions = 0;
};

// Runs `start`, which hands its answer to the function it is given, and
// waits for the answer; none within the time-out gives nothing. An answer
// that comes later is dropped.
template<typename Result, typename Start>
std::optional<Result> Answer(Start start)
{
    auto answer = std::make_shared<std::optional<Result>>();
    start([answer](const Result& value) { *answer = value; });
    WaitFor([&] { return answer->has_value(); }, kTimeoutMs);
    return *answer;
}

// The sample profile with text that pages must not take for markup.
Profile HostileProfile(const std::string& category)
{
    Profile profile = SampleProfile("Sample");
    profile.url = "http://garden.example/?a=1&b=2";
    profile.articleTitle = "Ten <b>Tips</b> & \"Tricks\" for O'Brien's Garden";
    profile.articleContent = "First paragraph.\r\n\r\nSecond <script>alert(1)</script> paragraph.";
    profile.category = category;
    profile.email = "ann@garden.example";
    profile.firstName = "Ann";
    profile.password = "s3cret-Pass";
    return profile;
}

class DemoPagesBrowserTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The rich-text editor, as the demo server serves it.
        server.Mount("/ckeditor/", "/usr/share/javascript/ckeditor");
        ASSERT_TRUE(server.Start("127.0.0.1", 0));
        ASSERT_TRUE(database.Load(demoDir + "/www/updates/quillmarkdemo.xml"));
        ASSERT_TRUE(database.GetDirectoryNames(names));
        browser.setFormSubmitSink(sink);
        QObject::connect(
            &browser, &QWebEngineView::loadFinished, &browser, [this](bool ok) { loadedOk = ok; });
    }

    // Opens the demo database's address `url` on the test's server and
    // waits until the page has loaded.
    bool Load(const std::string& url)
    {
        EXPECT_EQ(url.compare(0, demoBase.size(), demoBase), 0) << url;
        loadedOk.reset();
        browser.navigate(
            "http://127.0.0.1:" + std::to_string(server.Port()) + url.substr(demoBase.size()));
        return WaitFor([&] { return loadedOk.has_value() && browser.isLoading() == false; },
                   kTimeoutMs) &&
            *loadedOk;
    }

    // Runs `script` as the program runs its own: in its isolated world.
    std::optional<QVariant> RunProgramScript(const std::string& script)
    {
        return Answer<QVariant>(
            [&](auto done) { browser.runScript(QString::fromStdString(script), done); });
    }

    // Runs `script` among the page's own scripts, as a user's action would.
    std::optional<QVariant> RunPageScript(const QString& script)
    {
        return Answer<QVariant>([&](auto done) { browser.page()->runJavaScript(script, done); });
    }

    std::optional<QString> Html()
    {
        return Answer<QString>([&](auto done) { browser.page()->toHtml(done); });
    }

    // Polls the page until its HTML holds `text`. Fails the test when the
    // time-out passes or the page does not answer.
    ::testing::AssertionResult WaitForText(const QString& text)
    {
        QDeadlineTimer deadline(kTimeoutMs);
        std::optional<QString> html;
        do {
            html = Html();
            if (!html)
                return ::testing::AssertionFailure() << "the page gave no HTML";
            if (html->contains(text))
                return ::testing::AssertionSuccess();
            Pump(50);
        } while (!deadline.hasExpired());
        return ::testing::AssertionFailure()
            << "\"" << text.toStdString() << "\" never showed in:\n"
            << html->toStdString();
    }

    DemoServer server {demoDir + "/www"};
    MessageLog log;
    DirectoryDatabase database {log};
    std::vector<std::string> names;
    CountingSink sink;
    BrowserView browser;
    std::optional<bool> loadedOk;
};

TEST_F(DemoPagesBrowserTest, EveryDirectoryConfirmsAFilledSubmission)
{
    const std::map<std::string, std::string> sectionOf = {
        {"Marketing and Advertising", "Marketing and Advertising"},
        {"Small Business", "Small Business"},
        {"", "General Business"},
    };
    for (const std::string& name : names) {
        for (const std::string& category : categories) {
            SCOPED_TRACE(name + " / " + category);
            const Profile profile = HostileProfile(category);
            const QString marker = QString::fromStdString(database.GetDirectoryOnSubmit(name));
            ASSERT_FALSE(marker.isEmpty());
            ASSERT_TRUE(Load(database.GetDirectorySubmitPage(name, category, "")));
            const std::optional<QString> before = Html();
            ASSERT_TRUE(before);
            EXPECT_FALSE(before->contains(marker)) << "no confirmation before a submission";

            // Every item finds its element and writes it: choices and
            // check boxes, fields in shadow roots and editors included. The
            // one question the database leaves to the user has the focus.
            const std::vector<FillStep> plan = BuildFillPlan(database, name, profile);
            const std::optional<QVariant> written = RunProgramScript(FillScript(plan));
            ASSERT_TRUE(written);
            const int items = int(plan.size());
            const bool asks = name == "Harbor Article Directory";
            const std::optional<std::string> question =
                asks ? std::optional<std::string>("human") : std::nullopt;
            EXPECT_EQ(
                FillReportFromScript(*written, items), (FillReport {items, items, {}, question}));
            if (asks) {
                ASSERT_TRUE(RunPageScript("document.activeElement.value = 'seven'; true"));
            }

            const int submissions = sink.submissions;
            const std::optional<QVariant> clicked =
                RunPageScript("document.forms.length === 1 && "
                              "document.forms[0].querySelector('button').click() === undefined");
            ASSERT_TRUE(clicked && clicked->toBool()) << "one form, sent with its button";
            EXPECT_TRUE(WaitForText(marker));
            EXPECT_TRUE(WaitFor([&] { return sink.submissions == submissions + 1; }, kTimeoutMs))
                << "the hooked form reports its submission";

            // What was received is shown as text, escaped, the password not.
            const std::optional<QVariant> text = RunPageScript("document.body.textContent");
            ASSERT_TRUE(text);
            EXPECT_TRUE(text->toString().contains(QString::fromStdString(profile.articleTitle)));
            EXPECT_TRUE(text->toString().contains(QString::fromStdString(profile.email)));
            const std::optional<QString> html = Html();
            ASSERT_TRUE(html);
            EXPECT_FALSE(html->contains("<b>Tips"));
            EXPECT_FALSE(html->contains("<script>alert"));
            EXPECT_FALSE(html->contains(QString::fromStdString(profile.password)));
            // The site received the category the variable chose and the
            // ticked terms: it refuses anything else. The article's second
            // paragraph arrived, from the editor too.
            EXPECT_TRUE(text->toString().contains(QStringLiteral("Second")));
            EXPECT_FALSE(text->toString().contains(QStringLiteral("does not exist here")));
            if (name == "Bizwrite Library") {
                EXPECT_TRUE(html->contains(
                    QString::fromStdString("<dd>" + sectionOf.at(category) + "</dd>")));
            }
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
        ASSERT_TRUE(Load(database.GetDirectorySubmitPage("Bizwrite Library", category, "")));
        const std::optional<QVariant> shown =
            RunPageScript("document.getElementById('section-name').textContent");
        ASSERT_TRUE(shown);
        EXPECT_EQ(shown->toString().toStdString(), section);
    }
}

TEST_F(DemoPagesBrowserTest, RefusedInPlaceSubmissionKeepsTheForm)
{
    ASSERT_TRUE(Load(database.GetDirectorySubmitPage("Inkwell Articles", "", "")));
    ASSERT_TRUE(RunPageScript("document.getElementById('ink-title').value = 'Only a title';"
                              "document.querySelector('#ink-form button').click(); true"));
    EXPECT_TRUE(WaitForText("could not be accepted"));
    const std::optional<QString> html = Html();
    ASSERT_TRUE(html);
    EXPECT_FALSE(
        html->contains(QString::fromStdString(database.GetDirectoryOnSubmit("Inkwell Articles"))));
    const std::optional<QVariant> formThere =
        RunPageScript("document.getElementById('ink-form') !== null");
    ASSERT_TRUE(formThere);
    EXPECT_TRUE(formThere->toBool());
}

} // namespace
