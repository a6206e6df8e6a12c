#include "shell/app/MainWindow.h"

#include "ShellTestSupport.h"
#include "core/profiles/StateFile.h"
#include "core/record/SubmissionRecord.h"
#include "support/TemporaryDirectory.h"
#include "support/TestHttpServer.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include <sys/stat.h>

namespace {

const char* const databaseXml = R"(<r>
  <directory name="Alpha" submiturl="http://127.0.0.1:1/alpha" onsubmit="Thanks"/>
  <directory name="Beta" submiturl="http://127.0.0.1:1/beta" onsubmit="Thanks"/>
  <directory name="Gamma" submiturl="http://127.0.0.1:1/gamma" onsubmit="Thanks"/>
</r>)";

// A state file: selected name, then profiles "Bee" (sent to Beta) and
// "ant" (sent to Alpha and Gamma).
std::string StateFile(const std::string& selected)
{
    const std::string empty = "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n";
    return selected + "\r\n2\r\nBee\r\n" + empty + "1\r\nBeta\r\nant\r\n" + empty +
        "2\r\nAlpha\r\nGamma\r\n";
}

class MainWindowTest : public ::testing::Test
{
protected:
    MainWindowTest()
    {
        server.Page("/updates/", "<html><body><h1>Start page</h1></body></html>");
        server.Page("/faqs/quillmarkhelp.shtml", "<html><body>User guide</body></html>");
        server.Page("/contact/", "<html><body>Support</body></html>");
        server.Start();
        folder.Write("dirdata.xml", databaseXml);
    }

    std::unique_ptr<MainWindow> Open()
    {
        return std::make_unique<MainWindow>(TestSettings(server, folder));
    }

    std::string StateBytes() const { return TemporaryDirectory::Read(folder.FilePath("sv.dat")); }

    TestHttpServer server;
    TemporaryDirectory folder;
    MessageBoxRecorder boxes;
};

TEST_F(MainWindowTest, StartsEmptyWithoutStateFileAndOpensTheStartPage)
{
    const auto dialog = Open();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Quillmark V1.0"));
    EXPECT_FALSE((dialog->currentProfile() != nullptr));
    EXPECT_EQ(dialog->profileCombo()->count(), 0);
    EXPECT_EQ(Entries(dialog->directoryList()), (QStringList {"Alpha", "Beta", "Gamma"}));
    EXPECT_EQ(dialog->findChild<QPushButton*>(QStringLiteral("fillButton"))->text(),
        QStringLiteral("&Fill current page"));

    ASSERT_TRUE(WaitForPage(dialog->browser(), QStringLiteral("/updates/")));
    EXPECT_EQ(dialog->browser()->url().toString().toStdString(), server.Url("/updates/"));
    EXPECT_TRUE(boxes.messages.empty());
}

TEST_F(MainWindowTest, FocusingTheListChoosesNothing)
{
    const auto dialog = Open();
    dialog->show();
    QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(dialog->directoryList(), &focusIn);
    EXPECT_EQ(dialog->directoryList()->currentIndex().row(), 0) << "the list took a current row";
    EXPECT_TRUE((SelectedRow(dialog->directoryList()) < 0));
    EXPECT_TRUE(boxes.messages.empty()) << "and nobody was asked to create a profile";
}

TEST_F(MainWindowTest, StartupSelectsTheSavedOrTheEarliestProfile)
{
    const struct
    {
        std::string firstLine;
        QString current; // empty: no profile selected
        QStringList entries;
    } rows[] = {
        {"ant", "ant", {"Alpha [sent]", "Beta [not sent]", "Gamma [sent]"}},
        {"Bee", "Bee", {"Alpha [not sent]", "Beta [sent]", "Gamma [not sent]"}},
        {"Gone", "Bee", {"Alpha [not sent]", "Beta [sent]", "Gamma [not sent]"}},
        {"", "", {"Alpha", "Beta", "Gamma"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.firstLine);
        folder.Write("sv.dat", StateFile(row.firstLine));
        const auto dialog = Open();
        EXPECT_EQ(Entries(dialog->profileCombo()), (QStringList {"ant", "Bee"}));
        EXPECT_EQ((dialog->currentProfile() != nullptr), !row.current.isEmpty());
        EXPECT_EQ(dialog->profileCombo()->currentText(), row.current);
        if (!row.current.isEmpty()) {
            EXPECT_EQ(dialog->currentProfile()->name, row.current.toStdString());
        }
        EXPECT_EQ(Entries(dialog->directoryList()), row.entries);
    }
}

TEST_F(MainWindowTest, CloseBoxSavesButEscapeEnterAndExitDoNot)
{
    folder.Write("sv.dat", StateFile("Gone"));
    const std::string original = StateBytes();
    {
        const auto dialog = Open();
        dialog->show();
        for (const int key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(dialog.get(), &press);
        }
        EXPECT_TRUE(dialog->isVisible()) << "Escape and Enter never close the window";
        EXPECT_EQ(StateBytes(), original);

        dialog->exitWithoutSaving();
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(StateBytes(), original) << "File, Exit does not save";
    }
    {
        const auto dialog = Open();
        dialog->show();
        EXPECT_TRUE(dialog->close());
        // The fallback selection "Bee" is now what the first line holds.
        EXPECT_EQ(StateBytes(), StateFile("Bee"));
    }

    struct stat info;
    ASSERT_EQ(::stat(folder.FilePath("sv.dat").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u) << "the file holds passwords";
    EXPECT_TRUE(boxes.messages.empty());
}

TEST_F(MainWindowTest, NoProfilesSaveAsAnEmptyState)
{
    const auto dialog = Open();
    dialog->writeStateFile();
    EXPECT_EQ(StateBytes(), "\r\n0\r\n");
}

TEST_F(MainWindowTest, FailedSaveLeavesWhatIsThereAndTellsTheUser)
{
    const auto dialog = Open();
    // Something that is no state file stands in its place.
    std::filesystem::create_directory(folder.FilePath("sv.dat"));
    folder.Write("sv.dat/keep", "kept");

    dialog->writeStateFile();
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(boxes.messages[0].caption, "Error");
    EXPECT_EQ(boxes.messages[0].icon, MessageIcon::Error);
    EXPECT_NE(boxes.messages[0].text.find(folder.FilePath("sv.dat")), std::string::npos)
        << boxes.messages[0].text;
    EXPECT_EQ(TemporaryDirectory::Read(folder.FilePath("sv.dat/keep")), "kept");
    // Beside them the submission record, in its files.
    std::vector<std::string> left;
    for (const auto& file : std::filesystem::directory_iterator(folder.path)) {
        if (file.path().filename().string().rfind(SubmissionRecord::fileName, 0) != 0)
            left.push_back(file.path().filename().string());
    }
    EXPECT_EQ(left.size(), 2u) << "no temporary file is left behind";
}

TEST_F(MainWindowTest, MenuCommandsAndHelpPages)
{
    const auto dialog = Open();
    const auto* menuBar = dialog->menuBar();
    QStringList menus;
    QStringList commands;
    for (QAction* menu : menuBar->actions()) {
        menus << menu->text();
        for (QAction* action : menu->menu()->actions()) {
            if (action->isSeparator())
                continue;
            commands << action->text() + QLatin1Char('|') + action->shortcut().toString();
            EXPECT_TRUE(action->text().contains(QLatin1Char('&')))
                << "no mnemonic in " << action->text().toStdString();
        }
    }
    EXPECT_EQ(menus, (QStringList {"&File", "&Settings", "&Directory", "&Help"}));
    EXPECT_EQ(commands,
        (QStringList {"E&xit|Ctrl+Q", "&Manage Profiles|", "&Update Article Directory Database|",
            "&Open Page...|Ctrl+O", "&Next Directory Not Sent|Ctrl+N",
            "&Add This Page as a Directory...|", "&Use Selected Text as Confirmation|",
            "&Submissions...|Ctrl+Shift+S", "&Check Published Articles|",
            "Record Page as &Published|Ctrl+P", "User &Guide|F1", "&Support|",
            "&About Quillmark|"}));

    ASSERT_TRUE(WaitForPage(dialog->browser(), QStringLiteral("/updates/")));
    // The menu's own actions, as the user triggers them.
    dialog->findChild<QAction*>(QStringLiteral("userGuideAction"))->trigger();
    ASSERT_TRUE(WaitForPage(dialog->browser(), QStringLiteral("/faqs/quillmarkhelp.shtml")));
    EXPECT_EQ(RunScriptAndWait(dialog->browser(), "document.body.textContent").toString(),
        QStringLiteral("User guide"));
    dialog->findChild<QAction*>(QStringLiteral("supportAction"))->trigger();
    ASSERT_TRUE(WaitForPage(dialog->browser(), QStringLiteral("/contact/")));
}

TEST_F(MainWindowTest, TheBrowserTakesTheWidthAndTheSizeIsRemembered)
{
    {
        const auto dialog = Open();
        dialog->show();
        dialog->resize(900, 600);
        ASSERT_TRUE(WaitFor([&] { return dialog->width() == 900; }));
        const int listWidth = dialog->directoryList()->width();
        const int browserWidth = dialog->browser()->width();
        dialog->resize(1200, 600);
        ASSERT_TRUE(WaitFor([&] { return dialog->browser()->width() == browserWidth + 300; }));
        EXPECT_EQ(dialog->directoryList()->width(), listWidth) << "the right pane keeps its width";
        EXPECT_GT(dialog->directoryList()->mapTo(dialog.get(), QPoint()).x(),
            dialog->browser()->mapTo(dialog.get(), QPoint(browserWidth + 300, 0)).x());
        dialog->resize(dialog->minimumSizeHint().width() / 2, 100);
        EXPECT_GE(dialog->browser()->width(), dialog->browser()->minimumWidth());
        dialog->resize(1100, 650);
        ASSERT_TRUE(WaitFor([&] { return dialog->width() == 1100; }));
        dialog->close();
    }
    const auto again = Open();
    EXPECT_EQ(again->size(), QSize(1100, 650)) << "the size comes back on the next start";
}

// The menu a mnemonic opened, or null.
QMenu* OpenMenu(MainWindow& dialog)
{
    for (QAction* menu : dialog.findChild<QMenuBar*>()->actions()) {
        if (menu->menu()->isVisible())
            return menu->menu();
    }
    return nullptr;
}

TEST_F(MainWindowTest, MenuMnemonicsWorkAtStartAndFromThePage)
{
    const auto dialog = Open();
    dialog->show();
    dialog->activateWindow();
    ASSERT_TRUE(WaitFor([&] { return QApplication::focusWidget() != nullptr; }));
    EXPECT_EQ(QApplication::focusWidget(), dialog->directoryList())
        << "the window opens with the keyboard on the list";

    // The first Alt+F opens the File menu; no other control shares it.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::AltModifier);
    ASSERT_TRUE(WaitFor([&] { return OpenMenu(*dialog) != nullptr; }));
    EXPECT_EQ(OpenMenu(*dialog)->title(), QStringLiteral("&File"));
    QTest::keyClick(OpenMenu(*dialog), Qt::Key_Escape);
    ASSERT_TRUE(WaitFor([&] { return OpenMenu(*dialog) == nullptr; }));

    // With the keyboard in the page.
    ASSERT_TRUE(WaitForPage(dialog->browser(), QStringLiteral("/updates/")));
    dialog->activateWindow();
    ASSERT_TRUE(WaitFor([&] { return QApplication::activeWindow() == dialog.get(); }));
    dialog->browser()->setFocus();
    ASSERT_TRUE(WaitFor([&] {
        QWidget* focus = QApplication::focusWidget();
        return focus && (focus == dialog->browser() || dialog->browser()->isAncestorOf(focus));
    }));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::AltModifier);
    ASSERT_TRUE(WaitFor([&] { return OpenMenu(*dialog) != nullptr; }));
    EXPECT_EQ(OpenMenu(*dialog)->title(), QStringLiteral("&Settings"));
    QTest::keyClick(OpenMenu(*dialog), Qt::Key_Escape);
}

TEST_F(MainWindowTest, KeysAloneChooseInAFreshlyFocusedList)
{
    const struct
    {
        Qt::Key key;
        const char* chosen;
    } rows[] = {{Qt::Key_Home, "/alpha"}, {Qt::Key_Down, "/alpha"}, {Qt::Key_End, "/gamma"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.chosen);
        folder.Write("sv.dat", StateFile("ant"));
        const auto dialog = Open();
        dialog->show();
        QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(dialog->directoryList(), &focusIn);
        QTest::keyClick(dialog->directoryList(), row.key);
        ASSERT_EQ(dialog->directoryList()->selectionModel()->selectedRows().size(), 1);
        EXPECT_EQ(
            dialog->directoryList()->currentIndex().row(), SelectedRow(dialog->directoryList()));
        ASSERT_TRUE(WaitFor([&] {
            return dialog->browser()->url().path() == QLatin1String(row.chosen);
        })) << dialog->browser()->url().toString().toStdString();
    }
    EXPECT_TRUE(boxes.messages.empty());
}

// What the status line shows: its message, else its progress.
QString Shown(const MainWindow& dialog)
{
    const QString message = dialog.statusBar()->currentMessage();
    if (!message.isEmpty())
        return message;
    return dialog.progressLabel()->isVisible() ? dialog.progressLabel()->text() : QString();
}

TEST_F(MainWindowTest, NextDirectoryAndTheProgressOfTheProfile)
{
    folder.Write("sv.dat", StateFile("ant"));
    auto dialog = Open();
    int fills = 0;
    QObject::connect(dialog.get(), &MainWindow::pageFilled, dialog.get(), [&] { ++fills; });
    dialog->show();
    EXPECT_EQ(Shown(*dialog), QStringLiteral("Sent to 2 of 3 directories"));

    // The button chooses the only entry not sent, as a click would; chosen
    // again, it opens and fills again.
    for (int round = 1; round <= 2; ++round) {
        dialog->findChild<QPushButton*>(QStringLiteral("nextButton"))->click();
        EXPECT_EQ(SelectedRow(dialog->directoryList()), 1);
        ASSERT_TRUE(WaitFor([&] { return fills == round; }));
        EXPECT_EQ(dialog->browser()->url().path(), QStringLiteral("/beta"));
    }

    // Another profile, another count; then one that has sent to all.
    dialog->profileCombo()->setCurrentIndex(dialog->profileCombo()->findText("Bee"));
    EXPECT_EQ(dialog->progressLabel()->text(), QStringLiteral("Sent to 1 of 3 directories"));
    ASSERT_TRUE(WaitFor([&] { return fills == 3; }));
    dialog.reset();
    ProfileStore store;
    Profile all;
    all.name = "All";
    all.sentDirectories = {"Alpha", "Beta", "Gamma"};
    store.AddProfile(all);
    folder.Write("sv.dat", StateFileBytes(store, &all.name));
    dialog = Open();
    dialog->show();
    const unsigned loads = dialog->browser()->loadCount();
    dialog->nextDirectory();
    EXPECT_EQ(Shown(*dialog), QStringLiteral("All 3 directories are sent for this profile"));
    EXPECT_FALSE(dialog->progressLabel()->isVisible());
    EXPECT_EQ(dialog->browser()->loadCount(), loads) << "nothing is chosen";
    // The next page takes the message away, and the progress shows again.
    dialog->showUserGuide();
    ASSERT_TRUE(WaitForPage(dialog->browser(), QStringLiteral("/faqs/")));
    EXPECT_EQ(Shown(*dialog), QStringLiteral("Sent to 3 of 3 directories"));
    EXPECT_TRUE(boxes.messages.empty());
}

} // namespace
