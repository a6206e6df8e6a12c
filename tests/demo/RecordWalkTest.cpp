// The submission record in the real main window on the demo: a directory
// is filled, submitted and confirmed; the Submissions window shows it sent
// with its time; its published article is recognised in the browser and
// recorded with one key; the check finds its link; the export reads back
// with Python's CSV reader.

#include "DemoWindowSupport.h"
#include "TestData.h"
#include "core/profiles/ProfileStore.h"
#include "core/profiles/StateFile.h"
#include "core/record/RecordCsv.h"
#include "core/record/SubmissionRecord.h"
#include "demo/DemoServer.h"
#include "demo/DemoSites.h"
#include "shell/ShellTestSupport.h"
#include "shell/record/SubmissionFilterModel.h"
#include "shell/record/SubmissionsWindow.h"
#include "support/ClosedPort.h"
#include "support/FixedWallClock.h"
#include "support/PythonCsv.h"
#include "support/SampleProfiles.h"

#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTest>

namespace {

std::optional<RecordEntry> EntryOf(const MainWindow& window, const std::string& directory)
{
    std::optional<RecordEntry> entry;
    EXPECT_TRUE(window.record()->ReadEntry("Walk", directory, entry));
    return entry;
}

// The text of the Submissions window's cell for `directory`.
QString Cell(SubmissionsWindow& window, const std::string& directory, int column)
{
    const int row = window.model()->rowOf("Walk", directory);
    EXPECT_GE(row, 0) << directory;
    return window.model()->index(row, column).data().toString();
}

TEST(RecordWalkTest, FillSubmitConfirmPublishCheckExport)
{
    TestDemoSite site;
    ASSERT_TRUE(site.Start());
    const std::string& base = site.base;

    TemporaryDirectory folder;
    folder.Write("dirdata.xml", DemoDatabaseAt(base));
    // The profile of the article the demo directories have published.
    Profile profile = SampleProfile("Walk");
    profile.articleTitle = DemoSampleArticle().title;
    profile.url = DemoSampleArticle().webAddress;
    ProfileStore store;
    store.AddProfile(profile);
    folder.Write("sv.dat", StateFileBytes(store, &profile.name));

    MessageBoxRecorder boxes;
    const auto clock = std::make_shared<ManualClock>();
    MainWindow::Settings settings = DemoWindowSettings(base, folder, clock);
    const auto wallClock = std::make_shared<FixedWallClock>();
    settings.wallClock = wallClock;
    MainWindow window(settings);
    std::vector<FillReport> fills;
    QObject::connect(&window, &MainWindow::pageFilled, &window,
        [&fills](const FillReport& report) { fills.push_back(report); });
    window.show();
    ASSERT_NE(window.record(), nullptr);

    // 1. Fill.
    const std::string directory = "Open Article Library";
    const RecordTime filledAt = wallClock->now;
    ChooseRow(window.directoryList(), window.directoryModel()->rowOf(directory));
    ASSERT_TRUE(WaitFor([&] { return !fills.empty(); }, 15000));
    ASSERT_TRUE(EntryOf(window, directory));
    EXPECT_EQ(EntryOf(window, directory)->firstFilled, filledAt);

    // 2. Submit, a minute later; 3. the confirmation is seen.
    wallClock->Advance(60);
    const RecordTime sentAt = wallClock->now;
    const unsigned loads = window.browser()->loadCount();
    RunScriptAndWait(window.browser(), QStringLiteral("document.querySelector('button').click()"));
    ASSERT_TRUE(WaitFor([&] { return window.submitPending(); }, 15000));
    ASSERT_TRUE(WaitFor(
        [&] { return window.browser()->loadCount() > loads && !window.browser()->isLoading(); },
        15000));
    clock->now += 3001;
    ASSERT_TRUE(WaitFor([&] { return window.profiles().IsSent("Walk", directory); }, 15000));
    const RecordEntry sent = *EntryOf(window, directory);
    EXPECT_EQ(sent.submitted, sentAt);
    EXPECT_EQ(sent.confirmed, sentAt);
    EXPECT_EQ(sent.state, SubmissionState::AwaitingApproval);
    EXPECT_EQ(sent.formAddress, base + "/openlibrary/submit.html");
    EXPECT_EQ(sent.confirmationAddress, base + "/openlibrary/submit");
    EXPECT_EQ(window.publishedOffer()->isVisible(), false);

    // 4. The Submissions window shows it sent, with the time.
    QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(WaitFor([&] { return window.submissionsWindow() != nullptr; }));
    SubmissionsWindow& submissions = *window.submissionsWindow();
    ASSERT_TRUE(WaitFor([&] { return submissions.isVisible(); }));
    EXPECT_EQ(Cell(submissions, directory, SubmissionTableModel::StateColumn),
        QStringLiteral("sent \u2014 awaiting approval"));
    EXPECT_EQ(Cell(submissions, directory, SubmissionTableModel::SentColumn),
        QString::fromStdString(FormatRecordTime(sentAt)));
    EXPECT_EQ(Child<QLabel>(submissions, "summaryLabel")->text(),
        QStringLiteral("4 directories: 1 sent (1 awaiting approval, 0 published, 0 rejected), "
                       "3 not sent"));

    // 5. Its published page is recognised and recorded with one key.
    const std::string published = base + "/openlibrary/articles/ten-herbs-for-shade.html";
    window.activateWindow();
    window.browser()->navigate(published);
    ASSERT_TRUE(WaitFor([&] { return window.publishedOffer()->isVisible(); }, 15000));
    EXPECT_TRUE(window.publishedOffer()->text().contains(QString::fromStdString(directory)));
    QTest::keyClick(&window, Qt::Key_P, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] { return !EntryOf(window, directory)->publishedAddress.empty(); }));
    EXPECT_EQ(EntryOf(window, directory)->publishedAddress, published);
    EXPECT_EQ(EntryOf(window, directory)->state, SubmissionState::Published);
    EXPECT_FALSE(window.publishedOffer()->isVisible());
    EXPECT_EQ(Cell(submissions, directory, SubmissionTableModel::StateColumn),
        QStringLiteral("published"));

    // 6. The check finds the plain link of the Open Article Library, and
    // of two addresses pasted into the table, Harbor's nofollow link and a
    // page that cannot be fetched.
    ClosedPort closed;
    const struct
    {
        std::string directory;
        std::string address;
        QString link;
    } pasted[] = {
        {"Harbor Article Directory", base + "/harbor/articles/ten-herbs-for-shade.html",
            QStringLiteral("nofollow")},
        {"Inkwell Articles", "http://127.0.0.1:" + std::to_string(closed.Port()) + "/a.html",
            QStringLiteral("unreachable: connection refused")},
    };
    for (const auto& row : pasted) {
        const int at = submissions.model()->rowOf("Walk", row.directory);
        ASSERT_TRUE(submissions.model()->setData(
            submissions.model()->index(at, SubmissionTableModel::PublishedColumn),
            QString::fromStdString(row.address)));
    }
    wallClock->Advance(3600);
    bool checked = false;
    QObject::connect(&submissions, &SubmissionsWindow::checkFinished, &submissions,
        [&checked] { checked = true; });
    Child<QAction>(window, "checkPublishedAction")->trigger();
    EXPECT_TRUE(Child<QProgressBar>(submissions, "checkProgress")->isVisible());
    ASSERT_TRUE(WaitFor([&] { return checked; }, 30000));
    EXPECT_FALSE(Child<QProgressBar>(submissions, "checkProgress")->isVisible());
    EXPECT_EQ(
        Cell(submissions, directory, SubmissionTableModel::LinkColumn), QStringLiteral("followed"));
    EXPECT_EQ(Cell(submissions, directory, SubmissionTableModel::CheckedColumn),
        QString::fromStdString(FormatRecordTime(wallClock->now)));
    for (const auto& row : pasted) {
        EXPECT_EQ(Cell(submissions, row.directory, SubmissionTableModel::LinkColumn), row.link);
    }

    // 7. Export the published rows and read them back.
    submissions.filterModel()->setStateFilter(ShownState::Published);
    const std::string exported = folder.FilePath("published.csv");
    ModalAnswerer<QDialog> saveAs([&](QDialog& dialog) {
        auto* fileDialog = qobject_cast<QFileDialog*>(&dialog);
        if (!fileDialog)
            return int(QDialog::Rejected);
        fileDialog->selectFile(QString::fromStdString(exported));
        return int(QDialog::Accepted);
    });
    Child<QPushButton>(submissions, "exportButton")->click();
    const std::vector<CsvRow> rows = ReadCsvWithPython(exported);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], RecordCsvHeader());
    EXPECT_EQ(rows[1], RecordCsvRow(*EntryOf(window, directory), ShownState::Published));
    EXPECT_EQ(rows[1][1], directory);
    EXPECT_EQ(rows[1][9], published);
    EXPECT_EQ(rows[1][11], "followed");
    EXPECT_TRUE(boxes.messages.empty());
}

} // namespace
