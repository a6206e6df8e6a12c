// A directory no database knows, added in the real window as a user adds
// one: the demo's Meadowlark page is captured, looked over in the directory
// dialog and saved, then chosen, filled, submitted and confirmed from the
// text the user selects in the page, until the list marks it sent.

#include "TestData.h"
#include "core/directorydb/UserDatabase.h"
#include "core/profiles/ProfileStore.h"
#include "core/profiles/StateFile.h"
#include "demo/DemoServer.h"
#include "shell/ShellTestSupport.h"
#include "shell/capture/DirectoryDialog.h"
#include "support/SampleProfiles.h"
#include "tools/DbTool.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>

#include <sstream>

namespace {

const std::string demoDir = QUILLMARK_DEMO_DIR;

class CaptureRoundTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.Start("127.0.0.1", 0));
        folder.Write("dirdata.xml", TemporaryDirectory::Read(demoDir + "/dirdata.xml"));
        ProfileStore store;
        store.AddProfile(SampleProfile());
        folder.Write("sv.dat", StateFileBytes(store, &store.Profiles().front().name));
    }

    void Open()
    {
        MainWindow::Settings settings = MainWindow::Settings::defaults();
        settings.serverUrl = QStringLiteral("http://127.0.0.1:%1").arg(server.Port());
        settings.dataFolder = QString::fromStdString(folder.path.string());
        settings.updateOptions.temporaryFolder = folder.path.string();
        window = std::make_unique<MainWindow>(settings);
        window->show();
        QObject::connect(window.get(), &MainWindow::pageFilled,
            [this](const FillReport& report) { filled = report; });
        QObject::connect(window.get(), &MainWindow::pageChecked,
            [this](bool confirmed) { checked = confirmed; });
    }

    QAction* Command(const char* name) const { return Child<QAction>(*window, name); }

    // Triggers the command `id` and runs `step` on the dialog of type
    // `Dialog` it opens, from inside the dialog's own event loop.
    template<typename Dialog>
    void InTheDialog(const char* id, std::function<void(Dialog&)> step)
    {
        bool ran = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            if (dialog && dialog->isVisible() && !ran) {
                ran = true;
                step(*dialog);
            }
        });
        poll.start(5);
        Command(id)->trigger();
        EXPECT_TRUE(WaitFor([&] { return ran && !QApplication::activeModalWidget(); }));
    }

    std::string UserDatabase() const { return folder.FilePath("mydirdata.xml"); }

    DemoServer server {demoDir + "/www"};
    TemporaryDirectory folder;
    MessageBoxRecorder boxes;
    std::unique_ptr<MainWindow> window;
    std::optional<FillReport> filled;
    std::optional<bool> checked;
};

TEST_F(CaptureRoundTest, APageBecomesADirectoryThatIsFilledAndMarkedSent)
{
    Open();
    BrowserView* browser = window->browser();
    ASSERT_TRUE(WaitForPage(browser, QStringLiteral("/updates/")));
    const QStringList makers = Entries(window->directoryList());
    EXPECT_FALSE(makers.join(QLatin1Char('\n')).contains(QStringLiteral("Meadowlark")));
    // Opened by its address, as the user finds a directory.
    InTheDialog<QInputDialog>("openPageAction", [this](QInputDialog& dialog) {
        dialog.setTextValue(
            QStringLiteral("127.0.0.1:%1/meadowlark/submit.html").arg(server.Port()));
        dialog.accept();
    });
    ASSERT_TRUE(WaitForPage(browser, QStringLiteral("/meadowlark/")));
    ASSERT_TRUE(WaitFor([&] { return Command("addPageAction")->isEnabled(); }));

    // What the dialog proposes for each field of the page.
    InTheDialog<DirectoryDialog>("addPageAction", [](DirectoryDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Add Directory"));
        EXPECT_EQ(
            dialog.nameEdit()->text(), QStringLiteral("Send an Article - Meadowlark Articles"));
        EXPECT_TRUE(
            dialog.addressEdit()->text().endsWith(QStringLiteral("/meadowlark/submit.html")));
        EXPECT_EQ(dialog.removeButton(), nullptr);
        QStringList rows;
        QTableWidget* table = dialog.fieldTable();
        for (int row = 0; row < table->rowCount(); ++row) {
            rows << QStringList {table->item(row, 0)->text(), table->item(row, 1)->text(),
                table->item(row, 3)->text(), dialog.valueBox(row)->currentText()}
                        .join(QStringLiteral(" | "));
        }
        EXPECT_EQ(rows,
            (QStringList {
                "Article title | a_title | text | #title#",
                "Category | a_cat | select: Choose one, Business & Marketing, Health, Home & "
                "Garden, Technology, Other | %A_CAT%",
                "Your article | a_text | text area | #desc#",
                "First name | given_name | text | #fname#",
                "Last name | family_name | text | #lname#",
                "E-mail address | a_mail | e-mail | #email#",
                "About the author | a_bio | text area | #keywords#",
                "Your website | a_site | text | #url#",
                "Send me the newsletter | newsletter | check box | ",
                "I accept the terms of publication | tos | check box | 1",
            }));
        // The category list's variable says what it picks for each category.
        const QString picks = dialog.valueBox(1)->toolTip();
        EXPECT_TRUE(
            picks.contains("Business & Marketing: Accounting, Business, Business Services,"))
            << picks.toStdString();
        EXPECT_TRUE(picks.contains("Health: Biotechnology and Pharmaceuticals, Healthcare\n"))
            << picks.toStdString();
        dialog.nameEdit()->setText(QStringLiteral("Meadowlark Articles"));
        dialog.saveButton()->click();
    });
    EXPECT_TRUE(boxes.messages.empty());

    // Saved, listed after the maker's directories, chosen and filled.
    EXPECT_EQ(Entries(window->directoryList()),
        makers + QStringList {QStringLiteral("Meadowlark Articles [not sent]")});
    ASSERT_TRUE(WaitFor([&] { return filled.has_value(); }));
    EXPECT_EQ(*filled, (FillReport {9, 9, {}}));

    // Submitted: without a confirmation text nothing is marked yet.
    RunScriptAndWait(browser, QStringLiteral("document.querySelector('button').click()"));
    ASSERT_TRUE(WaitFor([&] { return checked.has_value(); }, 15000));
    EXPECT_FALSE(*checked);
    EXPECT_TRUE(Entries(window->directoryList()).contains("Meadowlark Articles [not sent]"));

    // The user selects the confirmation and takes it.
    checked.reset();
    EXPECT_TRUE(RunScriptAndWait(browser,
        QStringLiteral("var heading = [...document.querySelectorAll('h1')].find("
                       "  h => h.textContent.includes('Meadowlark has'));"
                       "var range = document.createRange(); range.selectNodeContents(heading);"
                       "getSelection().removeAllRanges(); getSelection().addRange(range);"
                       "getSelection().toString()"))
                    .toString()
                    .contains(QStringLiteral("Meadowlark has your article.")));
    ASSERT_TRUE(WaitFor([&] { return browser->hasSelection(); }));
    Command("useSelectionAction")->trigger();
    ASSERT_TRUE(WaitFor([&] { return checked.has_value(); }));
    EXPECT_TRUE(*checked);
    EXPECT_TRUE(Entries(window->directoryList()).contains("Meadowlark Articles [sent]"));
    EXPECT_TRUE(boxes.messages.empty());

    // The file is the writer's: the tool finds nothing in it, and an update
    // of the maker's database leaves it byte for byte.
    const std::optional<DirectoryRecord> saved =
        ReadUserDirectory(UserDatabase(), "Meadowlark Articles");
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->onSubmit, "Meadowlark has your article.");
    EXPECT_EQ(saved->items.size(), 9u);
    std::ostringstream out, err;
    EXPECT_EQ(RunDbTool({"check", UserDatabase()}, out, err), 0) << out.str() << err.str();
    const std::string before = TemporaryDirectory::Read(UserDatabase());
    window->updateDatabase();
    EXPECT_EQ(boxes.messages,
        (std::vector<Message> {{"Update successful", "Update", MessageIcon::None}}));
    EXPECT_EQ(TemporaryDirectory::Read(UserDatabase()), before);
    EXPECT_TRUE(Entries(window->directoryList()).contains("Meadowlark Articles [sent]"));
}

TEST_F(CaptureRoundTest, ASavedDirectoryOpensAgainToBeEditedAndRemoved)
{
    DirectoryRecord record;
    record.name = "Meadowlark Articles";
    record.submitUrl = QStringLiteral("http://127.0.0.1:%1/meadowlark/submit.html")
                           .arg(server.Port())
                           .toStdString();
    record.onSubmit = "Meadowlark has your article.";
    record.items = {{"a_title", ControlType::Edit, 0, "#title# (#cat#)"},
        {"gone", ControlType::Edit, 0, "#url#"}};
    ASSERT_TRUE(SaveUserDirectory(UserDatabase(), record));
    Open();
    ChooseRow(window->directoryList(), window->directoryList()->model()->rowCount() - 1);
    ASSERT_TRUE(WaitFor([&] { return filled.has_value(); }));
    ASSERT_TRUE(WaitFor([&] { return Command("addPageAction")->isEnabled(); }));

    boxes.answer = QMessageBox::Yes;
    InTheDialog<DirectoryDialog>("addPageAction", [](DirectoryDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Edit Directory"));
        EXPECT_EQ(
            dialog.confirmationEdit()->text(), QStringLiteral("Meadowlark has your article."));
        // The saved values, not new proposals; a saved item the page lacks
        // is kept as a row of its own.
        EXPECT_EQ(dialog.valueBox(0)->currentText(), QStringLiteral("#title# (#cat#)"));
        EXPECT_EQ(dialog.valueBox(2)->currentText(), QString());
        const int last = dialog.fieldTable()->rowCount() - 1;
        EXPECT_EQ(dialog.fieldTable()->item(last, 1)->text(), QStringLiteral("gone"));
        ASSERT_NE(dialog.removeButton(), nullptr);
        dialog.removeButton()->click();
    });
    EXPECT_FALSE(ReadUserDirectory(UserDatabase(), "Meadowlark Articles"));
    EXPECT_FALSE(Entries(window->directoryList()).join(QLatin1Char('\n')).contains("Meadowlark"));
}

} // namespace
