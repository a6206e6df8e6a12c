#include "shell/app/MainWindow.h"

#include "ShellTestSupport.h"
#include "support/TemporaryDirectory.h"
#include "support/TestHttpServer.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
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
    EXPECT_FALSE(dialog->HasCurrentProfile());
    EXPECT_EQ(dialog->ProfileCombo()->count(), 0);
    EXPECT_EQ(Entries(dialog->DirectoryList()), (QStringList {"Alpha", "Beta", "Gamma"}));
    EXPECT_EQ(dialog->FillButton()->text(), QStringLiteral("&Fill current page"));

    ASSERT_TRUE(WaitForPage(dialog->Browser(), QStringLiteral("/updates/")));
    EXPECT_EQ(dialog->Browser()->url().toString().toStdString(), server.Url("/updates/"));
    EXPECT_TRUE(boxes.messages.empty());
}

TEST_F(MainWindowTest, FocusingTheListChoosesNothing)
{
    const auto dialog = Open();
    dialog->show();
    QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(dialog->DirectoryList(), &focusIn);
    EXPECT_EQ(dialog->DirectoryList()->currentRow(), 0) << "the list took a current row";
    EXPECT_TRUE(dialog->DirectoryList()->selectedItems().isEmpty());
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
        EXPECT_EQ(Entries(dialog->ProfileCombo()), (QStringList {"ant", "Bee"}));
        EXPECT_EQ(dialog->HasCurrentProfile(), !row.current.isEmpty());
        EXPECT_EQ(dialog->ProfileCombo()->currentText(), row.current);
        if (!row.current.isEmpty()) {
            EXPECT_EQ(dialog->CurrentProfile().name, row.current.toStdString());
        }
        EXPECT_EQ(Entries(dialog->DirectoryList()), row.entries);
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

        dialog->OnExit();
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(StateBytes(), original) << "File, Exit does not save";
    }
    {
        const auto dialog = Open();
        dialog->show();
        EXPECT_TRUE(dialog->close());
        EXPECT_EQ(dialog->result(), QDialog::Rejected);
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
    dialog->SaveState();
    EXPECT_EQ(StateBytes(), "\r\n0\r\n");
}

TEST_F(MainWindowTest, FailedSaveLeavesWhatIsThereAndTellsTheUser)
{
    const auto dialog = Open();
    // Something that is no state file stands in its place.
    std::filesystem::create_directory(folder.FilePath("sv.dat"));
    folder.Write("sv.dat/keep", "kept");

    dialog->SaveState();
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(boxes.messages[0].caption, "Error");
    EXPECT_EQ(boxes.messages[0].icon, MessageIcon::Error);
    EXPECT_NE(boxes.messages[0].text.find(folder.FilePath("sv.dat")), std::string::npos)
        << boxes.messages[0].text;
    EXPECT_EQ(TemporaryDirectory::Read(folder.FilePath("sv.dat/keep")), "kept");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path), {}), 2)
        << "no temporary file is left behind";
}

TEST_F(MainWindowTest, MenuCommandsAndHelpPages)
{
    const auto dialog = Open();
    const auto* menuBar = dialog->findChild<QMenuBar*>();
    ASSERT_NE(menuBar, nullptr);
    QStringList menus;
    QList<QPair<QString, int>> commands;
    for (QAction* menu : menuBar->actions()) {
        menus << menu->text();
        for (QAction* action : menu->menu()->actions())
            commands.append({action->text(), action->data().toInt()});
    }
    EXPECT_EQ(menus, (QStringList {"&File", "&Settings", "&Help"}));
    const QList<QPair<QString, int>> expected {{"&Open Page...", 32779}, {"E&xit", 32771},
        {"Manage Profiles", 32773}, {"Update Article Directory Database", 32774},
        {"&Next Directory Not Sent", 32780}, {"Add This Page as a Directory...", 32777},
        {"Use Selected Text as Confirmation", 32778}, {"User Guide", 32775}, {"Support", 32776},
        {"&About Quillmark", 32772}};
    EXPECT_EQ(commands, expected);

    ASSERT_TRUE(WaitForPage(dialog->Browser(), QStringLiteral("/updates/")));
    // The menu's own actions, as the user triggers them.
    const auto trigger = [&](int id) {
        for (QAction* action : dialog->findChildren<QAction*>()) {
            if (action->data().toInt() == id)
                action->trigger();
        }
    };
    trigger(MainWindow::UserGuideCommand);
    ASSERT_TRUE(WaitForPage(dialog->Browser(), QStringLiteral("/faqs/quillmarkhelp.shtml")));
    EXPECT_EQ(RunScriptAndWait(dialog->Browser(), "document.body.textContent").toString(),
        QStringLiteral("User guide"));
    trigger(MainWindow::SupportCommand);
    ASSERT_TRUE(WaitForPage(dialog->Browser(), QStringLiteral("/contact/")));
}

TEST_F(MainWindowTest, ControlsFollowTheRightEdge)
{
    const auto dialog = Open();
    dialog->OnSize(800, 500);
    EXPECT_EQ(dialog->DirectoryList()->geometry(), QRect(565, 70, 220, 386));
    EXPECT_EQ(dialog->NextButton()->geometry(), QRect(565, 462, 220, 23));
    EXPECT_EQ(dialog->FillButton()->geometry(), QRect(610, 40, 140, 22));
    EXPECT_EQ(dialog->ProfileCombo()->geometry(), QRect(620, 11, 150, 20));
    EXPECT_EQ(dialog->Browser()->geometry(), QRect(10, 10, 540, 475));
    const auto* label = dialog->findChild<QLabel*>();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->geometry().topLeft(), QPoint(570, 14));

    // The real resize reaches the same layout.
    dialog->show();
    dialog->resize(1000, 700);
    ASSERT_TRUE(WaitFor([&] { return dialog->Browser()->width() > 700; }));
    const QWidget* client = dialog->Browser()->parentWidget();
    EXPECT_EQ(dialog->Browser()->width(), client->width() - 260);
    EXPECT_EQ(dialog->DirectoryList()->x(), client->width() - 235);
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
    EXPECT_EQ(QApplication::focusWidget(), dialog->DirectoryList())
        << "the window opens with the keyboard on the list";

    // The first Alt+F opens the File menu; no other control shares it.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::AltModifier);
    ASSERT_TRUE(WaitFor([&] { return OpenMenu(*dialog) != nullptr; }));
    EXPECT_EQ(OpenMenu(*dialog)->title(), QStringLiteral("&File"));
    QTest::keyClick(OpenMenu(*dialog), Qt::Key_Escape);
    ASSERT_TRUE(WaitFor([&] { return OpenMenu(*dialog) == nullptr; }));

    // With the keyboard in the page.
    ASSERT_TRUE(WaitForPage(dialog->Browser(), QStringLiteral("/updates/")));
    dialog->activateWindow();
    ASSERT_TRUE(WaitFor([&] { return QApplication::activeWindow() == dialog.get(); }));
    dialog->Browser()->setFocus();
    ASSERT_TRUE(WaitFor([&] {
        QWidget* focus = QApplication::focusWidget();
        return focus && (focus == dialog->Browser() || dialog->Browser()->isAncestorOf(focus));
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
        QApplication::sendEvent(dialog->DirectoryList(), &focusIn);
        QTest::keyClick(dialog->DirectoryList(), row.key);
        ASSERT_EQ(dialog->DirectoryList()->selectedItems().size(), 1);
        EXPECT_EQ(dialog->DirectoryList()->currentRow(),
            dialog->DirectoryList()->row(dialog->DirectoryList()->selectedItems().first()));
        ASSERT_TRUE(WaitFor([&] {
            return dialog->Browser()->url().path() == QLatin1String(row.chosen);
        })) << dialog->Browser()->url().toString().toStdString();
    }
    EXPECT_TRUE(boxes.messages.empty());
}

// What the status line shows: its message, else its progress.
QString Shown(const MainWindow& dialog)
{
    const QString message = dialog.StatusLine()->currentMessage();
    if (!message.isEmpty())
        return message;
    return dialog.ProgressLabel()->isVisible() ? dialog.ProgressLabel()->text() : QString();
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
        dialog->NextButton()->click();
        EXPECT_EQ(dialog->DirectoryList()->SelectedRow(), 1);
        ASSERT_TRUE(WaitFor([&] { return fills == round; }));
        EXPECT_EQ(dialog->Browser()->url().path(), QStringLiteral("/beta"));
    }

    // Another profile, another count; then one that has sent to all.
    dialog->ProfileCombo()->setCurrentIndex(dialog->ProfileCombo()->findText("Bee"));
    EXPECT_EQ(dialog->ProgressLabel()->text(), QStringLiteral("Sent to 1 of 3 directories"));
    dialog->ProfileManager().MarkSent("Bee", "Alpha");
    dialog->ProfileManager().MarkSent("Bee", "Gamma");
    dialog->OnProfileSelChange();
    ASSERT_TRUE(WaitFor([&] { return fills == 3; }));
    const unsigned loads = dialog->Browser()->LoadCount();
    dialog->OnNextDirectory();
    EXPECT_EQ(Shown(*dialog), QStringLiteral("All 3 directories are sent for this profile"));
    EXPECT_FALSE(dialog->ProgressLabel()->isVisible());
    EXPECT_EQ(dialog->Browser()->LoadCount(), loads) << "nothing is chosen";
    // The next page takes the message away, and the progress shows again.
    dialog->OnUserGuide();
    ASSERT_TRUE(WaitForPage(dialog->Browser(), QStringLiteral("/faqs/")));
    EXPECT_EQ(Shown(*dialog), QStringLiteral("Sent to 3 of 3 directories"));
    EXPECT_TRUE(boxes.messages.empty());
}

} // namespace
