#include "ShellTestSupport.h"
#include "app/MainDialog.h"
#include "profiles/StateFile.h"
#include "support/TemporaryDirectory.h"
#include "support/TestHttpServer.h"
#include "update/CUpdateDialog.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>

namespace {

const std::string oldDatabase = "<r><directory name='Alpha' submiturl='about:blank' onsubmit='x'/>"
                                "<directory name='Gone' submiturl='about:blank' onsubmit='x'/></r>";
const std::string newDatabase =
    "<r><directory name='Alpha' submiturl='about:blank' onsubmit='x'/>"
    "<directory name='Added' submiturl='about:blank' onsubmit='x'/></r>";

class UpdateDatabaseTest : public ::testing::Test
{
protected:
    UpdateDatabaseTest()
    {
        server.Page("/updates/", "<html><body>start</body></html>");
        server.server.Get("/updates/quillmarkdemo.xml",
            [this](const httplib::Request&, httplib::Response& response) {
                std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
                response.status = status;
                response.set_content(feed, "text/xml");
            });
        server.Start();
        folder.Write("dirdata.xml", oldDatabase);
        ProfileStore store;
        Profile writer;
        writer.name = "Writer";
        writer.sentDirectories = {"Alpha"};
        store.AddProfile(writer);
        folder.Write("sv.dat", StateFileBytes(store, &writer.name));
    }

    std::unique_ptr<MainDialog> Open()
    {
        MainDialog::Settings settings = TestSettings(server, folder);
        settings.updateOptions.temporaryFolder = folder.path.string();
        auto dialog = std::make_unique<MainDialog>(settings);
        dialog->show();
        return dialog;
    }

    TestHttpServer server;
    TemporaryDirectory folder;
    MessageBoxRecorder boxes;
    std::string feed = newDatabase;
    int status = 200;
    int delayMs = 0;
};

TEST_F(UpdateDatabaseTest, SuccessReloadsTheListWithTheProfilesMarks)
{
    const auto dialog = Open();
    ASSERT_TRUE(WaitForPage(dialog->Browser(), QStringLiteral("/updates/")));
    dialog->DirectoryList()->setCurrentRow(1);
    ASSERT_TRUE(
        WaitFor([&] { return dialog->Browser()->GetReadyState() == CBrowserCtrl::Complete; }));

    // Through the menu, as the user does.
    QAction* update = nullptr;
    for (QAction* action : dialog->findChildren<QAction*>()) {
        if (action->data().toInt() == MainDialog::UpdateDatabaseCommand)
            update = action;
    }
    ASSERT_NE(update, nullptr);
    update->trigger();
    const std::vector<Message> success {{"Update successful", "Update", MessageIcon::None}};
    EXPECT_EQ(boxes.messages, success);
    EXPECT_EQ(TemporaryDirectory::Read(folder.FilePath("dirdata.xml")), newDatabase);
    EXPECT_EQ(Entries(dialog->DirectoryList()), (QStringList {"Alpha [sent]", "Added [not sent]"}));
    EXPECT_TRUE(dialog->DirectoryList()->selectedItems().isEmpty());
    ASSERT_TRUE(WaitForPage(dialog->Browser(), QStringLiteral("about:blank")));
    EXPECT_EQ(TemporaryDirectory::Read(folder.FilePath("ddupdate.xml")), newDatabase);

    // And again in the same run.
    boxes.messages.clear();
    feed = oldDatabase;
    dialog->UpdateDatabase();
    EXPECT_EQ(boxes.messages, success);
    EXPECT_EQ(Entries(dialog->DirectoryList()), (QStringList {"Alpha [sent]", "Gone [not sent]"}));
}

TEST_F(UpdateDatabaseTest, FailureKeepsTheDatabaseAndTheList)
{
    const auto dialog = Open();
    const QStringList before = Entries(dialog->DirectoryList());
    for (const int answer : {404, 500}) {
        boxes.messages.clear();
        status = answer;
        dialog->UpdateDatabase();
        const std::vector<Message> failure {
            {"The update could not be retrieved", "Error", MessageIcon::Exclamation}};
        EXPECT_EQ(boxes.messages, failure);
        EXPECT_EQ(TemporaryDirectory::Read(folder.FilePath("dirdata.xml")), oldDatabase);
        EXPECT_EQ(Entries(dialog->DirectoryList()), before);
    }
}

TEST_F(UpdateDatabaseTest, TheWaitCannotBeDismissed)
{
    delayMs = 600;
    const auto dialog = Open();
    bool stayed = false;
    QTimer::singleShot(300, dialog.get(), [&] {
        auto* wait = qobject_cast<CUpdateDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(wait, nullptr);
        EXPECT_EQ(wait->windowTitle(), QStringLiteral("Update article directory database"));
        wait->reject();
        wait->close();
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(wait, &escape);
        stayed = wait->isVisible();
    });
    dialog->UpdateDatabase();
    EXPECT_TRUE(stayed);
    const std::vector<Message> success {{"Update successful", "Update", MessageIcon::None}};
    EXPECT_EQ(boxes.messages, success);
}

TEST(UpdateDialogTest, MissingAddressIsAnInternalError)
{
    CUpdateDialog dialog;
    dialog.databasePath = "/tmp/dirdata.xml";
    EXPECT_EQ(dialog.exec(), UpdateInternalError);
}

} // namespace
