// A round through the demo directories by keyboard alone, in the real main
// window: Ctrl+N opens and fills the next directory not sent, the cursor
// waits in the field only the user can fill, Enter sends the form, and once
// the confirmation is checked the status line names the next directory.

#include "DemoWindowSupport.h"
#include "TestData.h"
#include "core/profiles/ProfileStore.h"
#include "core/profiles/StateFile.h"
#include "demo/DemoServer.h"
#include "shell/ShellTestSupport.h"
#include "support/SampleProfiles.h"

#include <QApplication>
#include <QLabel>
#include <QStatusBar>
#include <QTest>

namespace {

bool BrowserHasFocus(const MainWindow& dialog)
{
    QWidget* focus = QApplication::focusWidget();
    return focus && (focus == dialog.browser() || dialog.browser()->isAncestorOf(focus));
}

TEST(KeyboardWalkTest, ThreeDirectoriesByKeyboardAlone)
{
    TestDemoSite site;
    ASSERT_TRUE(site.Start());
    const std::string& base = site.base;

    // The demo's own database, at the test's server; a profile without a
    // web address, which the user types where the form asks for it.
    TemporaryDirectory folder;
    folder.Write("dirdata.xml", DemoDatabaseAt(base));
    Profile profile = SampleProfile("Walk");
    profile.url.clear();
    ProfileStore store;
    store.AddProfile(profile);
    folder.Write("sv.dat", StateFileBytes(store, &profile.name));

    MessageBoxRecorder boxes;
    const auto clock = std::make_shared<ManualClock>();
    MainWindow::Settings settings = DemoWindowSettings(base, folder, clock);
    MainWindow dialog(settings);
    std::vector<FillReport> fills;
    QObject::connect(&dialog, &MainWindow::pageFilled, &dialog,
        [&fills](const FillReport& report) { fills.push_back(report); });
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(WaitFor([&] { return QApplication::focusWidget() == dialog.directoryList(); }));
    EXPECT_EQ(dialog.progressLabel()->text(), QStringLiteral("Sent to 0 of 4 directories"));

    const struct
    {
        const char* directory;
        const char* field; // where the cursor waits
        const char* typed;
        const char* status; // after the confirmation
    } steps[] = {
        {"Open Article Library", "website", "http://garden.test/",
            "Sent. Next: Harbor Article Directory (Ctrl+N)"},
        {"Harbor Article Directory", "human", "7", "Sent. Next: Bizwrite Library (Ctrl+N)"},
        {"Bizwrite Library", "link", "http://garden.test/",
            "Sent. Next: Inkwell Articles (Ctrl+N)"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.directory);
        const std::size_t filled = fills.size();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_N, Qt::ControlModifier);
        ASSERT_TRUE(WaitFor([&] { return fills.size() > filled; }, 15000));
        ASSERT_EQ(dialog.directoryList()->selectionModel()->selectedRows().size(), 1);
        EXPECT_EQ(dialog.directoryList()->currentIndex().data().toString(),
            QString::fromUtf8(step.directory) + QStringLiteral(" [not sent]"));
        EXPECT_EQ(fills.back().focused, std::optional<std::string>(step.field));
        ASSERT_TRUE(WaitFor([&] { return BrowserHasFocus(dialog); }));
        // Keys go where the page has its focus once the page knows it has it,
        // as a person sees the cursor before typing.
        const QString field = QString::fromUtf8(step.field);
        ASSERT_TRUE(WaitFor([&] {
            return RunScriptAndWait(dialog.browser(),
                       QStringLiteral("document.hasFocus() && document.activeElement ? "
                                      "document.activeElement.name : ''"))
                       .toString() == field;
        }));

        QTest::keyClicks(QApplication::focusWidget(), QString::fromUtf8(step.typed));
        ASSERT_TRUE(WaitFor([&] {
            return RunScriptAndWait(
                       dialog.browser(), QStringLiteral("document.activeElement.value"))
                       .toString() == QString::fromUtf8(step.typed);
        }));
        const unsigned loads = dialog.browser()->loadCount();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        ASSERT_TRUE(WaitFor([&] { return dialog.submitPending(); }, 15000));
        // The watch's delay lets the page that follows arrive; the test's
        // clock passes it only once that page is there.
        ASSERT_TRUE(WaitFor(
            [&] {
                return dialog.browser()->loadCount() > loads &&
                    dialog.browser()->isLoading() == false;
            },
            15000));
        clock->now += 3001;
        ASSERT_TRUE(WaitFor(
            [&] {
                return dialog.profiles().IsSent("Walk", step.directory) &&
                    dialog.statusBar()->currentMessage() == QLatin1String(step.status);
            },
            15000))
            << dialog.statusBar()->currentMessage().toStdString();
        EXPECT_TRUE(dialog.directoryList()->currentIndex().data().toString().endsWith(" [sent]"));
    }
    EXPECT_EQ(dialog.progressLabel()->text(), QStringLiteral("Sent to 3 of 4 directories"));
    EXPECT_TRUE(boxes.messages.empty());
}

} // namespace
