#include "ShellTestSupport.h"
#include "core/profiles/ProfileStore.h"
#include "core/profiles/StateFile.h"
#include "shell/app/MainWindow.h"
#include "support/SampleProfiles.h"
#include "support/TemporaryDirectory.h"
#include "support/TestHttpServer.h"

#include <QComboBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QListView>
#include <QStatusBar>

#include <atomic>
#include <fstream>
#include <map>
#include <mutex>

namespace {

// A clock the test moves by hand. It starts 1000 ms before the 32-bit wrap,
// so the check delay always spans the wrap. The watch reads it at every tick
// while a submission waits: a count of readings shows that ticks happened.
class FakeClock : public Clock
{
public:
    std::uint32_t Milliseconds() const override
    {
        ++readings;
        return now;
    }
    std::uint32_t now = 0xFFFFFC18u;
    mutable std::atomic<int> readings {0};
};

// Counts the submissions the hooked forms report.
class CountingDialog : public MainWindow
{
public:
    using MainWindow::MainWindow;
    void OnFormSubmit() override
    {
        ++submissions;
        MainWindow::OnFormSubmit();
    }
    int submissions = 0;
};

const char* const marker = "Thank you, your article has been received";

// The form of most test directories: fields by name, two of one name, one by
// id only, a text area, a hidden input, a checkbox, a select list. The page
// counts the input events it sees and marks what its own submit handler did.
std::string FormPage(const std::string& action, const std::string& extra = "")
{
    return R"(<!DOCTYPE html><html><body>
<form id="f" action=")" +
        action + R"(" method="post">
  <input name="title">
  <input name="author"><input name="author">
  <input id="mail">
  <textarea name="body"></textarea>
  <input type="hidden" name="section" value="none">
  <input type="checkbox" name="agree" value="off">
  <select name="topic"><option>Garden</option><option selected>Home</option></select>
  <input type="hidden" name="own" value="no">
  <button id="send" type="submit">Send</button>
</form>)" +
        extra + R"(
<script>
var inputs = 0;
document.addEventListener('input', function () { ++inputs; });
document.getElementById('f').addEventListener('submit', function () {
    this.elements['own'].value = 'yes';
});
</script></body></html>)";
}

const char* const databaseTemplate = R"(<r>
  <directory name="Alpha" submiturl="BASE/alpha?section=SECTION" onsubmit="MARKER">
    <variable name="SECTION">
      <cond category="Small Business" value="117"/>
      <cond category="Marketing and Advertising" value="104"/>
      <cond value="100"/>
    </variable>
    <item name="title" index="0" type="edit" value="#title#"/>
    <item name="author" index="0" type="edit" value="#fname#"/>
    <item name="author" index="1" type="edit" value="#lname#"/>
    <item name="mail" index="0" type="edit" value="#email#"/>
    <item name="body" index="0" type="edit" value="#desc#"/>
    <item name="section" index="0" type="edit" value="s-SECTION"/>
    <item name="agree" index="0" type="checkbox" value="yes"/>
    <item name="topic" index="0" type="combobox" value="Garden"/>
    <item name="absent" index="0" type="edit" value="nowhere"/>
  </directory>
  <directory name="Beta" submiturl="BASE/beta" onsubmit="MARKER">
    <item name="title" index="0" type="edit" value="#title#"/>
  </directory>
  <directory name="Gamma" submiturl="BASE/gamma" onsubmit="MARKER">
    <item name="title" index="0" type="edit" value="#title#"/>
    <item name="loose" index="0" type="edit" value="#email#"/>
  </directory>
  <directory name="Slow" submiturl="BASE/slow" onsubmit="MARKER">
    <item name="title" index="0" type="edit" value="#title#"/>
  </directory>
  <directory name="Inplace" submiturl="BASE/inplace" onsubmit="MARKER">
    <item name="title" index="0" type="edit" value="#title#"/>
  </directory>
  <directory name="Odd [x]" submiturl="BASE/alpha" onsubmit="MARKER">
    <item name="title" index="0" type="edit" value="#title#"/>
  </directory>
  <directory name="ART gallery" submiturl="BASE/beta" onsubmit="MARKER">
    <item name="title" index="0" type="edit" value="#title#"/>
  </directory>
  <directory name="Art" submiturl="BASE/alpha" onsubmit="MARKER">
    <item name="title" index="0" type="edit" value="#title#"/>
  </directory>
  <directory name="Popup" submiturl="BASE/popup" onsubmit="MARKER">
    <item name="title" index="0" type="edit" value="#title#"/>
  </directory>
  <directory name="Partial" submiturl="BASE/beta" onsubmit="MARKER">
    <item name="title" index="0" type="edit" value="#title#"/>
    <item name="nosuch" index="0" type="edit" value="#title#"/>
    <item name="mail" index="0" type="edit" value="#email#"/>
  </directory>
  <directory name="Framed" submiturl="BASE/framed" onsubmit="MARKER">
    <item name="title" index="0" type="edit" value="#title#"/>
  </directory>
</r>)";

// The writer's article is hostile to pages: quotes, a script end tag and
// text beyond ASCII.
Profile Writer()
{
    Profile p = SampleProfile("Writer");
    p.articleTitle = "Quotes \"' \\ </script> \xC3\xBCn\xC3\xAF \xE6\x96\x87";
    p.articleContent = "First paragraph.\r\nSecond paragraph.";
    p.firstName = "Ann";
    p.email = "ann@example.test";
    return p;
}

Profile Second()
{
    Profile p = SampleProfile("Second");
    p.articleTitle = "Another article";
    p.category = "Marketing and Advertising";
    return p;
}

class SubmissionFlowTest : public ::testing::Test
{
protected:
    SubmissionFlowTest()
    {
        server.Page("/updates/", "<html><body>Start page</body></html>");
        server.Page("/alpha", FormPage("/alpha/post"));
        server.Page("/beta", FormPage("/beta/post"));
        server.Page("/gamma", FormPage("/alpha/post", R"(<p>Outside: <input name="loose"></p>)"));
        server.Page("/slow", FormPage("/slow/post"));
        server.Page("/popup",
            FormPage(
                "/alpha/post", "<script>document.getElementById('f').target = '_blank';</script>"));
        server.Page("/inplace",
            FormPage("/never",
                R"(<div id="result"></div><script>
document.getElementById('f').addEventListener('submit', function (e) {
    e.preventDefault();
    setTimeout(function () {
        document.getElementById('result').textContent = ')" +
                    std::string(marker) + R"(';
    }, 200);
});</script>)"));
        // The form sits in a frame and answers there; beside it, a frame of
        // another origin.
        foreign.Page("/foreign", "<html><body>Another site</body></html>");
        foreign.Start();
        server.Page("/framed",
            "<html><body><p>Framed form</p><iframe src='" + foreign.Url("/foreign") +
                "'></iframe><iframe id='box' src='/framed/form'></iframe></body></html>");
        server.Page("/framed/form", FormPage("/alpha/post"));
        server.server.Post(
            "/alpha/post", [this](const httplib::Request& request, httplib::Response& response) {
                Record(request);
                response.set_content(
                    std::string("<html><body><h1>") + marker + "</h1></body></html>", "text/html");
            });
        server.server.Post(
            "/beta/post", [this](const httplib::Request& request, httplib::Response& response) {
                Record(request);
                response.set_content("<html><body>Please try again</body></html>", "text/html");
            });
        server.server.Post(
            "/slow/post", [this](const httplib::Request& request, httplib::Response& response) {
                Record(request);
                server.AwaitRelease();
                response.set_content(
                    std::string("<html><body>") + marker + "</body></html>", "text/html");
            });
        server.Start();

        std::string database = databaseTemplate;
        ReplaceAll(database, "BASE", server.Url());
        ReplaceAll(database, "MARKER", marker);
        folder.Write("dirdata.xml", database);

        ProfileStore store;
        store.AddProfile(Writer());
        store.AddProfile(Second());
        const std::string selected = "Writer";
        folder.Write("sv.dat", StateFileBytes(store, &selected));
    }

    static void ReplaceAll(std::string& text, const std::string& from, const std::string& to)
    {
        for (auto pos = text.find(from); pos != std::string::npos;
             pos = text.find(from, pos + to.size()))
            text.replace(pos, from.size(), to);
    }

    void Record(const httplib::Request& request)
    {
        const std::lock_guard<std::mutex> lock(mutex);
        received.clear();
        for (const auto& [key, value] : request.params)
            received[key] += value;
    }

    std::string Received(const std::string& key)
    {
        const std::lock_guard<std::mutex> lock(mutex);
        return received.count(key) ? received[key] : "<none>";
    }

    std::unique_ptr<CountingDialog> Open()
    {
        MainWindow::Settings settings = TestSettings(server, folder);
        settings.clock = clock;
        auto dialog = std::make_unique<CountingDialog>(settings);
        dialog->show();
        QObject::connect(dialog.get(), &MainWindow::pageFilled, dialog.get(),
            [this](const FillReport& report) { fills.push_back(report); });
        QObject::connect(dialog.get(), &MainWindow::pageChecked, dialog.get(),
            [this](bool confirmed) { checks.push_back(confirmed); });
        return dialog;
    }

    int Row(const MainWindow& dialog, const QString& name)
    {
        for (int row = 0; row < dialog.directoryList()->model()->rowCount(); ++row) {
            if (dialog.directoryList()->model()->index(row, 0).data().toString().startsWith(
                    name + QStringLiteral(" [")))
                return row;
        }
        return -1;
    }

    QString Entry(const MainWindow& dialog, const QString& name)
    {
        const int row = Row(dialog, name);
        return row < 0 ? QString()
                       : dialog.directoryList()->model()->index(row, 0).data().toString();
    }

    // Chooses a directory as a click in the list does, and waits for the
    // automatic fill of its page.
    void Choose(MainWindow& dialog, const QString& name)
    {
        const std::size_t before = fills.size();
        ChooseRow(dialog.directoryList(), Row(dialog, name));
        ASSERT_TRUE(WaitFor([&] { return fills.size() > before; })) << name.toStdString();
    }

    QJsonObject Fields(BrowserView* browser)
    {
        const QString json = RunScriptAndWait(browser, QStringLiteral(R"(JSON.stringify({
            title: document.getElementsByName('title')[0].value,
            author0: document.getElementsByName('author')[0].value,
            author1: document.getElementsByName('author')[1].value,
            mail: document.getElementById('mail').value,
            body: document.getElementsByName('body')[0].value,
            section: document.getElementsByName('section')[0].value,
            agree: document.getElementsByName('agree')[0].value,
            agreeChecked: document.getElementsByName('agree')[0].checked,
            topic: document.getElementsByName('topic')[0].selectedIndex,
            loose: document.getElementsByName('loose').length ? document.getElementsByName('loose')[0].value : null,
            inputs: inputs
        }))"))
                                 .toString();
        return QJsonDocument::fromJson(json.toUtf8()).object();
    }

    void Submit(CountingDialog& dialog)
    {
        const int before = dialog.submissions;
        // The click comes after the script's answer: a form that opens its
        // result in another window replaces the page the script ran in.
        RunScriptAndWait(dialog.browser(),
            QStringLiteral("setTimeout(function () { document.getElementById('send').click(); }); "
                           "true"));
        ASSERT_TRUE(WaitFor([&] { return dialog.submissions > before; }));
    }

    // Lets more than the check delay pass on the watch's clock.
    void PassCheckDelay() { clock->now += 3001; }

    // Waits until the watch has looked at its clock `ticks` more times: what
    // it would have done in those ticks is done.
    void WaitForTicks(int ticks)
    {
        const int until = clock->readings + ticks;
        ASSERT_TRUE(WaitFor([&] { return clock->readings >= until; }));
    }

    TestHttpServer foreign;
    TestHttpServer server;
    TemporaryDirectory folder;
    MessageBoxRecorder boxes;
    std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>();
    std::vector<FillReport> fills;
    std::vector<bool> checks;
    std::mutex mutex;
    std::map<std::string, std::string> received;
};

TEST_F(SubmissionFlowTest, ChosenDirectoryIsFilledSubmittedConfirmedAndSaved)
{
    auto dialog = Open();
    ASSERT_EQ(Entry(*dialog, "Alpha"), QStringLiteral("Alpha [not sent]"));
    Choose(*dialog, "Alpha");
    EXPECT_EQ(dialog->browser()->url().query(), QStringLiteral("section=117"));
    EXPECT_EQ(fills.back(), (FillReport {8, 9, {"absent"}}))
        << "every element an item names and acts on, the missing one by name";

    const QJsonObject fields = Fields(dialog->browser());
    EXPECT_EQ(fields["title"].toString().toStdString(), Writer().articleTitle);
    EXPECT_EQ(fields["author0"].toString(), QStringLiteral("Ann"));
    EXPECT_EQ(fields["author1"].toString(), QStringLiteral("Lee"));
    EXPECT_EQ(fields["mail"].toString(), QStringLiteral("ann@example.test"));
    EXPECT_EQ(fields["section"].toString(), QStringLiteral("s-117"));
    EXPECT_EQ(fields["agree"].toString(), QStringLiteral("off")) << "a check keeps the value";
    EXPECT_TRUE(fields["agreeChecked"].toBool());
    EXPECT_EQ(fields["topic"].toInt(), 0) << "the option named by the item is chosen";
    EXPECT_EQ(fields["inputs"].toInt(), 8) << "the page sees an input event per value";

    Submit(*dialog);
    EXPECT_TRUE(dialog->submitPending());
    EXPECT_EQ(dialog->submitTime(), clock->now) << "the submission is timed by the watch's clock";
    ASSERT_TRUE(WaitForPage(dialog->browser(), QStringLiteral("/alpha/post")));
    EXPECT_EQ(Received("body"), "First paragraph.\r\nSecond paragraph.");
    EXPECT_EQ(Received("own"), "yes") << "the page's own submit handler still ran";
    EXPECT_EQ(Received("section"), "s-117");
    EXPECT_EQ(Received("agree"), "off");
    EXPECT_EQ(Received("topic"), "Garden");

    WaitForTicks(2);
    EXPECT_TRUE(checks.empty()) << "no check before the delay has passed";
    PassCheckDelay();
    EXPECT_LT(clock->now, dialog->submitTime()) << "the clock wrapped after the submission";
    ASSERT_TRUE(WaitFor([&] { return !checks.empty(); }));
    EXPECT_TRUE(checks.back());
    EXPECT_EQ(Entry(*dialog, "Alpha"), QStringLiteral("Alpha [sent]"));
    EXPECT_EQ(dialog->directoryList()->currentIndex().row(), Row(*dialog, "Alpha"));
    EXPECT_FALSE(dialog->submitPending());

    ASSERT_TRUE(dialog->close());
    ProfileStore saved;
    std::ifstream in(folder.FilePath("sv.dat"), std::ios::binary);
    EXPECT_EQ(ReadState(in, saved).selectedName, "Writer");
    EXPECT_TRUE(saved.IsSent("Writer", "Alpha"));
    EXPECT_FALSE(saved.IsSent("Second", "Alpha"));
    EXPECT_TRUE(boxes.messages.empty());
}

TEST_F(SubmissionFlowTest, FillingTwiceStillReportsEachSubmissionOnce)
{
    auto dialog = Open();
    Choose(*dialog, "Alpha");
    dialog->fillCurrentPage();
    ASSERT_TRUE(WaitFor([&] { return fills.size() == 2; }));
    Submit(*dialog);
    ASSERT_TRUE(WaitForPage(dialog->browser(), QStringLiteral("/alpha/post")));
    // A second report of that submission would come before the report of
    // the next one.
    Choose(*dialog, "Beta");
    Submit(*dialog);
    EXPECT_EQ(dialog->submissions, 2);
}

TEST_F(SubmissionFlowTest, PageWithoutTheMarkerIsNotMarked)
{
    auto dialog = Open();
    Choose(*dialog, "Beta");
    Submit(*dialog);
    ASSERT_TRUE(WaitForPage(dialog->browser(), QStringLiteral("/beta/post")));
    PassCheckDelay();
    ASSERT_TRUE(WaitFor([&] { return !checks.empty(); }));
    EXPECT_FALSE(checks.back());
    EXPECT_EQ(Entry(*dialog, "Beta"), QStringLiteral("Beta [not sent]"));
    EXPECT_FALSE(dialog->profiles().IsSent("Writer", "Beta"));
    EXPECT_FALSE(dialog->submitPending()) << "the watch is over, found or not";
}

TEST_F(SubmissionFlowTest, ChoosingAnotherDirectoryBeforeTheCheckCancelsIt)
{
    auto dialog = Open();
    Choose(*dialog, "Alpha");
    Submit(*dialog);
    ASSERT_TRUE(WaitForPage(dialog->browser(), QStringLiteral("/alpha/post")));
    Choose(*dialog, "Beta");
    EXPECT_FALSE(dialog->submitPending());
    PassCheckDelay();
    // The next submission is checked; the one that was dropped never is.
    Submit(*dialog);
    ASSERT_TRUE(WaitForPage(dialog->browser(), QStringLiteral("/beta/post")));
    PassCheckDelay();
    ASSERT_TRUE(WaitFor([&] { return !checks.empty(); }));
    EXPECT_EQ(checks, std::vector<bool> {false});
    EXPECT_EQ(Entry(*dialog, "Alpha"), QStringLiteral("Alpha [not sent]"));
}

TEST_F(SubmissionFlowTest, SlowConfirmationIsCheckedOnceItHasLoaded)
{
    // The confirmation comes once the test has seen the watch wait for it.
    server.Hold();
    auto dialog = Open();
    Choose(*dialog, "Slow");
    Submit(*dialog);
    ASSERT_TRUE(WaitFor([&] { return dialog->browser()->isLoading(); }));
    PassCheckDelay();
    WaitForTicks(2);
    ASSERT_TRUE(dialog->browser()->isLoading());
    EXPECT_TRUE(checks.empty()) << "no check while the page still loads";
    server.Release();
    ASSERT_TRUE(WaitFor([&] { return !checks.empty(); }));
    EXPECT_TRUE(checks.back());
    EXPECT_EQ(Entry(*dialog, "Slow"), QStringLiteral("Slow [sent]"));
}

TEST_F(SubmissionFlowTest, ConfirmationInsertedIntoTheSamePageIsRecognised)
{
    auto dialog = Open();
    Choose(*dialog, "Inplace");
    Submit(*dialog);
    ASSERT_TRUE(WaitFor([&] {
        return RunScriptAndWait(dialog->browser(), QStringLiteral("document.body.textContent"))
            .toString()
            .contains(QLatin1String(marker));
    }));
    PassCheckDelay();
    ASSERT_TRUE(WaitFor([&] { return !checks.empty(); }));
    EXPECT_TRUE(checks.back());
    EXPECT_EQ(Entry(*dialog, "Inplace"), QStringLiteral("Inplace [sent]"));
}

TEST_F(SubmissionFlowTest, LastFilledElementOutsideAnyFormHooksNothing)
{
    auto dialog = Open();
    Choose(*dialog, "Gamma");
    const QJsonObject fields = Fields(dialog->browser());
    EXPECT_EQ(fields["loose"].toString(), QStringLiteral("ann@example.test"));
    EXPECT_EQ(fields["title"].toString().toStdString(), Writer().articleTitle);
    RunScriptAndWait(
        dialog->browser(), QStringLiteral("document.getElementById('send').click(); true"));
    ASSERT_TRUE(WaitForPage(dialog->browser(), QStringLiteral("/alpha/post")));
    EXPECT_FALSE(dialog->submitPending());
    // A hooked form's report comes after any report of the first.
    Choose(*dialog, "Alpha");
    Submit(*dialog);
    EXPECT_EQ(dialog->submissions, 1);
}

TEST_F(SubmissionFlowTest, ADirectoryTheDatabaseLacksFillsNothing)
{
    auto dialog = Open();
    // No directory is chosen yet: the page is filled from none.
    dialog->browser()->navigate(server.Url("/alpha"));
    ASSERT_TRUE(WaitForPage(dialog->browser(), QStringLiteral("/alpha")));
    const std::size_t before = fills.size();
    dialog->fillCurrentPage();
    ASSERT_TRUE(WaitFor([&] { return fills.size() > before; }));
    EXPECT_EQ(fills.back().written, 0);
    EXPECT_EQ(Fields(dialog->browser())["title"].toString(), QString());

    // An entry is chosen by its name, never by the text it shows: "Odd [x]"
    // opens its own page.
    ChooseRow(dialog->directoryList(), Row(*dialog, "Odd"));
    ASSERT_TRUE(WaitFor([&] { return fills.size() > before + 1; }));
    EXPECT_TRUE(boxes.messages.empty());
    EXPECT_GT(fills.back().written, 0);
    EXPECT_EQ(dialog->browser()->url().path(), QStringLiteral("/alpha"));
}

TEST_F(SubmissionFlowTest, AnotherProfileReopensAndRefillsTheChosenDirectory)
{
    auto dialog = Open();
    Choose(*dialog, "Alpha");
    const std::size_t before = fills.size();
    dialog->profileCombo()->setCurrentIndex(
        dialog->profileCombo()->findText(QStringLiteral("Second")));
    ASSERT_TRUE(WaitFor([&] { return fills.size() > before; }));
    EXPECT_EQ(dialog->currentProfile()->name, "Second");
    EXPECT_EQ(dialog->browser()->url().query(), QStringLiteral("section=104"));
    EXPECT_EQ(Fields(dialog->browser())["title"].toString(), QStringLiteral("Another article"));
    EXPECT_EQ(dialog->directoryList()->currentIndex().row(), Row(*dialog, "Alpha"));
}

TEST_F(SubmissionFlowTest, UserIsToldWhatIsMissing)
{
    std::filesystem::remove(folder.FilePath("sv.dat"));
    auto dialog = Open();
    ASSERT_TRUE(WaitForPage(dialog->browser(), QStringLiteral("/updates/")));
    ChooseRow(dialog->directoryList(), 0);
    const std::vector<Message> noProfile {
        {"Please create a profile first!", "Error", MessageIcon::Exclamation}};
    EXPECT_EQ(boxes.messages, noProfile);
    EXPECT_TRUE(dialog->browser()->url().path().endsWith(QStringLiteral("/updates/")));

    boxes.messages.clear();
    server.server.Get("/stall", [this](const httplib::Request&, httplib::Response& response) {
        server.AwaitRelease();
        response.set_content("<html></html>", "text/html");
    });
    server.Hold();
    dialog->browser()->navigate(server.Url("/stall"));
    dialog->fillCurrentPage();
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(boxes.messages[0].text, "Please allow the page to load completly");
    EXPECT_EQ(boxes.messages[0].caption, ApplicationName().toStdString());
    EXPECT_EQ(boxes.messages[0].icon, MessageIcon::None);
    EXPECT_TRUE(fills.empty());
    server.Release();
}

TEST_F(SubmissionFlowTest, TheSubmittedDirectoryIsMarkedNotOneNamedAlike)
{
    auto dialog = Open();
    Choose(*dialog, "Art");
    Submit(*dialog);
    ASSERT_TRUE(WaitForPage(dialog->browser(), QStringLiteral("/alpha/post")));
    PassCheckDelay();
    ASSERT_TRUE(WaitFor([&] { return !checks.empty(); }));
    EXPECT_EQ(Entry(*dialog, "Art"), QStringLiteral("Art [sent]"));
    EXPECT_EQ(Entry(*dialog, "ART gallery"), QStringLiteral("ART gallery [not sent]"));
    EXPECT_EQ(dialog->directoryList()->currentIndex().row(), Row(*dialog, "Art"));
}

TEST_F(SubmissionFlowTest, AProfileChosenInTheComboBoxIsTheCurrentOne)
{
    ProfileStore store;
    store.AddProfile(Writer());
    store.AddProfile(Second());
    folder.Write("sv.dat", StateFileBytes(store, nullptr));
    auto dialog = Open();
    ASSERT_FALSE((dialog->currentProfile() != nullptr));

    dialog->profileCombo()->setCurrentIndex(dialog->profileCombo()->findText("Second"));
    EXPECT_TRUE((dialog->currentProfile() != nullptr));
    EXPECT_EQ(dialog->currentProfile()->name, "Second");
    EXPECT_EQ(Entry(*dialog, "Alpha"), QStringLiteral("Alpha [not sent]"));
    Choose(*dialog, "Alpha");
    EXPECT_EQ(dialog->browser()->url().query(), QStringLiteral("section=104"));
    EXPECT_TRUE(boxes.messages.empty());

    ASSERT_TRUE(dialog->close());
    ProfileStore saved;
    std::ifstream in(folder.FilePath("sv.dat"), std::ios::binary);
    EXPECT_EQ(ReadState(in, saved).selectedName, "Second");
}

TEST_F(SubmissionFlowTest, AFormThatAsksForANewWindowStaysInTheView)
{
    auto dialog = Open();
    Choose(*dialog, "Popup");
    Submit(*dialog);
    ASSERT_TRUE(WaitForPage(dialog->browser(), QStringLiteral("/alpha/post")));
    EXPECT_EQ(Received("title"), Writer().articleTitle);
    PassCheckDelay();
    ASSERT_TRUE(WaitFor([&] { return !checks.empty(); }));
    EXPECT_TRUE(checks.back());
    EXPECT_EQ(Entry(*dialog, "Popup"), QStringLiteral("Popup [sent]"));
}

TEST_F(SubmissionFlowTest, TheStatusLineSaysWhatTheFillDidWhileThePageStays)
{
    auto dialog = Open();
    EXPECT_EQ(dialog->statusBar()->currentMessage(), QString());
    Choose(*dialog, "Partial");
    EXPECT_EQ(fills.back(), (FillReport {2, 3, {"nosuch"}, "author"}));
    EXPECT_EQ(dialog->statusBar()->currentMessage(),
        QStringLiteral("Filled 2 of 3 fields, not found: nosuch"));

    dialog->browser()->navigate(server.Url("/updates/"));
    ASSERT_TRUE(WaitForPage(dialog->browser(), QStringLiteral("/updates/")));
    EXPECT_EQ(dialog->statusBar()->currentMessage(), QString()) << "the page has gone";

    // The button's fill says it as well.
    const std::size_t before = fills.size();
    dialog->fillCurrentPage();
    ASSERT_TRUE(WaitFor([&] { return fills.size() > before; }));
    EXPECT_EQ(dialog->statusBar()->currentMessage(),
        QStringLiteral("Filled 0 of 3 fields, not found: title, nosuch, mail"));
    const QWidget* client = dialog->browser()->parentWidget();
    EXPECT_LE(client->geometry().bottom(), dialog->statusBar()->geometry().top())
        << "the status line lies below the client area";
}

TEST_F(SubmissionFlowTest, AFormInAFrameIsConfirmedByTheAnswerInItsFrame)
{
    auto dialog = Open();
    Choose(*dialog, "Framed");
    BrowserView* browser = dialog->browser();
    const QString frame = QStringLiteral("document.getElementById('box').contentDocument");
    RunScriptAndWait(browser, QStringLiteral("quillmark.hookForm(%1.forms[0]); true").arg(frame),
        BrowserView::scriptWorld);
    RunScriptAndWait(browser,
        QStringLiteral("%1.getElementsByName('title')[0].value = 'In a frame'; "
                       "%1.getElementById('send').click(); true")
            .arg(frame));
    ASSERT_TRUE(WaitFor([&] { return dialog->submissions == 1; }));
    ASSERT_TRUE(WaitFor([&] {
        return RunScriptAndWait(browser, frame + QStringLiteral(".body.textContent"))
            .toString()
            .contains(QLatin1String(marker));
    }));
    EXPECT_EQ(Received("title"), "In a frame");
    EXPECT_TRUE(browser->url().path().endsWith(QStringLiteral("/framed")));

    PassCheckDelay();
    ASSERT_TRUE(WaitFor([&] { return !checks.empty(); }));
    EXPECT_TRUE(checks.back());
    EXPECT_EQ(Entry(*dialog, "Framed"), QStringLiteral("Framed [sent]"));
}

TEST_F(SubmissionFlowTest, ClosingTheWindowDuringACheckIsSafe)
{
    auto dialog = Open();
    Choose(*dialog, "Alpha");
    Submit(*dialog);
    ASSERT_TRUE(WaitForPage(dialog->browser(), QStringLiteral("/alpha/post")));
    // A fill and a page check are under way when the window goes. Their
    // answers come while the page is deleted, and must find nothing to do.
    dialog->fillPage();
    dialog->checkSubmittedPage();
    const std::size_t fillsBefore = fills.size();
    dialog.reset();
    EXPECT_TRUE(checks.empty());
    EXPECT_EQ(fills.size(), fillsBefore);
}

} // namespace
