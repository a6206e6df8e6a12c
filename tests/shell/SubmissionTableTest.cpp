// The Submissions window's table over a real record file: which rows it
// makes from sv.dat's marks and the record, how they filter and sort, what
// an edit writes; and a main window whose record was refused.

#include "ShellTestSupport.h"
#include "core/profiles/StateFile.h"
#include "core/record/SqliteDatabase.h"
#include "core/record/SubmissionRecord.h"
#include "shell/record/SubmissionFilterModel.h"
#include "shell/record/SubmissionTableModel.h"
#include "shell/record/SubmissionsWindow.h"
#include "support/FixedWallClock.h"

#include <QAction>
#include <QCheckBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

class SubmissionTableTest : public ::testing::Test
{
protected:
    SubmissionTableTest()
    {
        EXPECT_TRUE(record.Open(folder.FilePath("records.db"), "Quillmark").result);
        Profile profile;
        profile.name = "P";
        profile.sentDirectories = {"Alpha", "Charlie", "Delta", "Echo"};
        profiles.AddProfile(profile);
        // Alpha went out an hour after Charlie; Bravo has an entry but no mark.
        EXPECT_TRUE(record.NoteConfirmation("P", "Charlie", "http://c/thanks"));
        clock.Advance(3600);
        EXPECT_TRUE(record.NoteConfirmation("P", "Alpha", "http://a/thanks"));
        EXPECT_TRUE(record.NoteConfirmation("P", "Bravo", "http://b/thanks"));
        EXPECT_TRUE(record.SetState("P", "Echo", SubmissionState::Published));
        EXPECT_TRUE(record.NoteLinkCheck(
            "P", "Echo", {clock.now, LinkResult::Unreachable, "connection refused"}));
        model.setRows(SubmissionTableModel::buildRows(
            &record, profiles, {"P"}, {"Alpha", "Bravo", "Charlie", "Delta"}));
        filter.setSourceModel(&model);
    }

    QStringList Column(int column) const
    {
        QStringList cells;
        for (int row = 0; row < filter.rowCount(); ++row)
            cells << filter.index(row, column).data().toString();
        return cells;
    }

    TemporaryDirectory folder;
    FixedWallClock clock;
    SubmissionRecord record {clock};
    ProfileStore profiles;
    SubmissionTableModel model {&record};
    SubmissionFilterModel filter;
};

TEST_F(SubmissionTableTest, RowsJoinSentMarksWithTheRecord)
{
    EXPECT_EQ(Column(SubmissionTableModel::DirectoryColumn),
        (QStringList {"Alpha", "Bravo", "Charlie", "Delta", "Echo"}));
    EXPECT_EQ(Column(SubmissionTableModel::StateColumn),
        (QStringList {"sent \u2014 awaiting approval", "not sent", "sent \u2014 awaiting approval",
            "sent \u2014 date unknown", "published"}));
    EXPECT_EQ(Column(SubmissionTableModel::LinkColumn).last(),
        QStringLiteral("unreachable: connection refused"));
    EXPECT_EQ(SummaryLine(model.counts()),
        "5 directories: 4 sent (2 awaiting approval, 1 published, 0 rejected, 1 date unknown), "
        "1 not sent");
}

TEST_F(SubmissionTableTest, FiltersAndSortingPickAndOrderRows)
{
    const struct
    {
        std::optional<ShownState> state;
        QString text;
        int sortColumn; // -1: the list's order
        QStringList directories;
    } cases[] = {
        {ShownState::AwaitingApproval, {}, -1, {"Alpha", "Charlie"}},
        {ShownState::AwaitingApproval, {}, SubmissionTableModel::SentColumn, {"Charlie", "Alpha"}},
        {std::nullopt, QStringLiteral("A/THANKS"), -1, {"Alpha"}},
        {std::nullopt, QStringLiteral("refused"), -1, {"Echo"}},
        {ShownState::NotSent, QStringLiteral("thanks"), -1, {"Bravo"}},
        {ShownState::Rejected, {}, -1, {}},
        {std::nullopt, {}, SubmissionTableModel::StateColumn,
            {"Bravo", "Delta", "Alpha", "Charlie", "Echo"}},
    };
    for (const auto& row : cases) {
        filter.setStateFilter(row.state);
        filter.setTextFilter(row.text);
        filter.sort(row.sortColumn);
        EXPECT_EQ(Column(SubmissionTableModel::DirectoryColumn), row.directories)
            << row.text.toStdString();
    }
}

TEST_F(SubmissionTableTest, EditsGoToTheRecord)
{
    const auto cell = [&](const char* directory, int column) {
        return model.index(model.rowOf("P", directory), column);
    };
    // The state of a directory sv.dat does not mark sent is not the user's to set.
    EXPECT_FALSE(model.setData(
        cell("Bravo", SubmissionTableModel::StateColumn), int(SubmissionState::Rejected)));
    EXPECT_TRUE(model.setData(
        cell("Alpha", SubmissionTableModel::StateColumn), int(SubmissionState::Rejected)));
    EXPECT_TRUE(model.setData(cell("Delta", SubmissionTableModel::PublishedColumn),
        QStringLiteral("  http://d/article=1  ")));
    EXPECT_TRUE(
        model.setData(cell("Delta", SubmissionTableModel::NoteColumn), QStringLiteral("a, \"b\"")));
    std::optional<RecordEntry> alpha, delta;
    ASSERT_TRUE(record.ReadEntry("P", "Alpha", alpha));
    ASSERT_TRUE(record.ReadEntry("P", "Delta", delta));
    EXPECT_EQ(alpha->state, SubmissionState::Rejected);
    EXPECT_EQ(delta->publishedAddress, "http://d/article=1");
    EXPECT_EQ(delta->note, "a, \"b\"");
    EXPECT_EQ(cell("Alpha", SubmissionTableModel::StateColumn).data().toString(),
        QStringLiteral("rejected"));

    // A write that fails leaves the row as it was and says why.
    QStringList failures;
    QObject::connect(&model, &SubmissionTableModel::writeFailed, &model,
        [&failures](const QString& reason) { failures << reason; });
    record.Close();
    EXPECT_FALSE(
        model.setData(cell("Delta", SubmissionTableModel::NoteColumn), QStringLiteral("x")));
    EXPECT_EQ(cell("Delta", SubmissionTableModel::NoteColumn).data().toString(),
        QStringLiteral("a, \"b\""));
    EXPECT_EQ(failures.size(), 1);
}

// The window on a real record and server: rows change as each page's
// result comes in, Cancel ends a check whose last page is still held back,
// the toggle shows every profile, and a double-click asks for a row's page.
TEST(SubmissionsWindowTest, CheckUpdatesRowsAndCancels)
{
    TestHttpServer server;
    server.Page("/fast", "<html><body>Herbs <a href='http://garden.test/'>me</a></body></html>");
    server.server.Get("/slow", [&server](const httplib::Request&, httplib::Response& response) {
        server.AwaitRelease();
        response.set_content("<html><body>late</body></html>", "text/html");
    });
    server.Hold();
    server.Start();
    TemporaryDirectory folder;
    FixedWallClock clock;
    SubmissionRecord record(clock);
    ASSERT_TRUE(record.Open(folder.FilePath("records.db"), "Quillmark").result);
    ProfileStore profiles;
    for (const char* name : {"P", "Q"}) {
        Profile profile;
        profile.name = name;
        profiles.AddProfile(profile);
    }
    // Pages of one site are fetched one at a time, in the record's order.
    ASSERT_TRUE(record.SetPublishedAddress("P", "Fast", server.Url("/fast")));
    ASSERT_TRUE(record.SetPublishedAddress("P", "Slow", server.Url("/slow")));
    ASSERT_TRUE(record.SetNote("Q", "Fast", "other profile"));
    SubmissionsWindow window(record, clock, [&](bool all) {
        const std::vector<std::string> names =
            all ? std::vector<std::string> {"P", "Q"} : std::vector<std::string> {"P"};
        return SubmissionTableModel::buildRows(&record, profiles, names, {"Fast", "Slow"});
    });
    window.show();
    bool finished = false;
    QObject::connect(&window, &SubmissionsWindow::checkFinished, &window, [&] { finished = true; });
    const auto link = [&](const char* directory) {
        return window.model()
            ->index(window.model()->rowOf("P", directory), SubmissionTableModel::LinkColumn)
            .data()
            .toString();
    };

    window.checkPublishedArticles("P", "Herbs", "http://garden.test/");
    ASSERT_TRUE(WaitFor([&] { return link("Fast") == QStringLiteral("followed"); }, 15000));
    EXPECT_EQ(Child<QProgressBar>(window, "checkProgress")->value(), 1);
    EXPECT_TRUE(window.checkRunning());
    Child<QPushButton>(window, "cancelCheckButton")->click();
    ASSERT_TRUE(WaitFor([&] { return finished; }, 15000));
    EXPECT_FALSE(window.checkRunning());
    EXPECT_FALSE(Child<QProgressBar>(window, "checkProgress")->isVisible());
    EXPECT_EQ(link("Slow"), QString());
    server.Release();

    EXPECT_EQ(window.model()->rowCount(), 2);
    Child<QCheckBox>(window, "allProfiles")->setChecked(true);
    EXPECT_EQ(window.model()->rowCount(), 4);
    EXPECT_FALSE(window.table()->isColumnHidden(SubmissionTableModel::ProfileColumn));

    std::vector<std::string> opened;
    QObject::connect(&window, &SubmissionsWindow::openRequested, &window,
        [&](const std::string& profile, const std::string& directory, const std::string& page) {
            opened = {profile, directory, page};
        });
    window.table()->sortByColumn(SubmissionTableModel::ProfileColumn, Qt::AscendingOrder);
    const QRect slow = window.table()->visualRect(
        window.table()->model()->index(1, SubmissionTableModel::DirectoryColumn));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_TRUE(slow.isValid());
    // QTest's double-click sends only the second click's events: the first
    // click comes before it, as from a mouse.
    QTest::mouseClick(window.table()->viewport(), Qt::LeftButton, {}, slow.center());
    QTest::mouseDClick(window.table()->viewport(), Qt::LeftButton, {}, slow.center());
    EXPECT_EQ(opened, (std::vector<std::string> {"P", "Slow", server.Url("/slow")}));
}

TEST(RefusedRecordTest, TheWindowWorksOnAndSaysWhyWhereTheRecordIsNeeded)
{
    TestHttpServer server;
    server.Page("/updates/", "<html><body>start</body></html>");
    server.Start();
    TemporaryDirectory folder;
    folder.Write(
        "dirdata.xml", "<r><directory name='Dir' submiturl='about:blank' onsubmit='x'/></r>");
    {
        SqliteDatabase newer;
        ASSERT_TRUE(newer.Open(folder.FilePath("records.db"), SqliteDatabase::Mode::ReadWrite));
        ASSERT_TRUE(newer.Execute("PRAGMA user_version = 99"));
    }
    const std::string before = TemporaryDirectory::Read(folder.FilePath("records.db"));
    MessageBoxRecorder boxes;
    MainWindow window(TestSettings(server, folder));
    EXPECT_EQ(window.record(), nullptr);
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_NE(boxes.messages[0].text.find("newer version"), std::string::npos);
    for (const char* command : {"submissionsAction", "checkPublishedAction"}) {
        Child<QAction>(window, command)->trigger();
        ASSERT_TRUE(WaitFor([&] { return boxes.messages.size() == 2u; })) << command;
        EXPECT_EQ(boxes.messages[1], boxes.messages[0]);
        boxes.messages.pop_back();
    }
    EXPECT_EQ(window.submissionsWindow(), nullptr);
    EXPECT_EQ(TemporaryDirectory::Read(folder.FilePath("records.db")), before);
}

} // namespace
