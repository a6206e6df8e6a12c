#include "ShellTestSupport.h"
#include "core/directorydb/UserDatabase.h"
#include "core/profiles/StateFile.h"
#include "shell/app/MainWindow.h"
#include "shell/update/UpdateDialog.h"
#include "support/TemporaryDirectory.h"
#include "support/TestHttpServer.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <functional>

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
                server.AwaitRelease();
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

    std::unique_ptr<MainWindow> Open() { return Open(server); }

    std::unique_ptr<MainWindow> Open(
        const TestHttpServer& maker, const std::function<void(MainWindow::Settings&)>& adjust = {})
    {
        MainWindow::Settings settings = TestSettings(maker, folder);
        settings.updateOptions.temporaryFolder = folder.path.string();
        if (adjust)
            adjust(settings);
        auto dialog = std::make_unique<MainWindow>(settings);
        dialog->show();
        return dialog;
    }

    // From inside the modal wait: runs `step` on the wait dialog as soon as
    // `ready` holds for it.
    static void DuringTheWait(QObject* context, std::function<bool(UpdateDialog*)> ready,
        std::function<void(UpdateDialog*)> step)
    {
        auto* poll = new QTimer(context);
        QObject::connect(poll, &QTimer::timeout, context, [=] {
            auto* wait = qobject_cast<UpdateDialog*>(QApplication::activeModalWidget());
            if (wait && wait->isVisible() && ready(wait)) {
                poll->stop();
                poll->deleteLater();
                step(wait);
            }
        });
        poll->start(5);
    }

    std::string Database() const
    {
        return TemporaryDirectory::Read(folder.FilePath("dirdata.xml"));
    }

    TestHttpServer server;
    TemporaryDirectory folder;
    MessageBoxRecorder boxes;
    std::string feed = newDatabase;
    int status = 200;
};

TEST_F(UpdateDatabaseTest, SuccessReloadsTheListWithTheProfilesMarks)
{
    const auto dialog = Open();
    ASSERT_TRUE(WaitForPage(dialog->browser(), QStringLiteral("/updates/")));
    ChooseRow(dialog->directoryList(), 1);
    ASSERT_TRUE(WaitFor([&] { return !dialog->browser()->isLoading(); }));

    // Through the menu, as the user does.
    QAction* update = Child<QAction>(*dialog, "updateDatabaseAction");
    ASSERT_NE(update, nullptr);
    update->trigger();
    const std::vector<Message> success {{"Update successful", "Update", MessageIcon::None}};
    EXPECT_EQ(boxes.messages, success);
    EXPECT_EQ(TemporaryDirectory::Read(folder.FilePath("dirdata.xml")), newDatabase);
    EXPECT_EQ(Entries(dialog->directoryList()), (QStringList {"Alpha [sent]", "Added [not sent]"}));
    EXPECT_TRUE((SelectedRow(dialog->directoryList()) < 0));
    ASSERT_TRUE(WaitForPage(dialog->browser(), QStringLiteral("about:blank")));
    EXPECT_EQ(TemporaryDirectory::Read(folder.FilePath("ddupdate.xml")), newDatabase);

    // And again in the same run.
    boxes.messages.clear();
    feed = oldDatabase;
    dialog->updateDatabase();
    EXPECT_EQ(boxes.messages, success);
    EXPECT_EQ(Entries(dialog->directoryList()), (QStringList {"Alpha [sent]", "Gone [not sent]"}));
}

TEST_F(UpdateDatabaseTest, TheUsersOwnDatabaseIsListedAndNeverTouched)
{
    // Written by the program's own writer, as the user's directories are.
    const std::string own = folder.FilePath("mydirdata.xml");
    DirectoryRecord record;
    record.name = "Own";
    record.submitUrl = "about:blank";
    record.onSubmit = "y";
    ASSERT_TRUE(SaveUserDirectory(own, record));
    record.name = "Gone";
    ASSERT_TRUE(SaveUserDirectory(own, record));
    const std::string before = TemporaryDirectory::Read(own);

    const auto dialog = Open();
    EXPECT_EQ(Entries(dialog->directoryList()),
        (QStringList {"Alpha [sent]", "Gone [not sent]", "Own [not sent]"}));
    ASSERT_TRUE(WaitForPage(dialog->browser(), QStringLiteral("/updates/")));

    dialog->updateDatabase();
    EXPECT_EQ(boxes.messages,
        (std::vector<Message> {{"Update successful", "Update", MessageIcon::None}}));
    EXPECT_EQ(Database(), newDatabase);
    EXPECT_EQ(TemporaryDirectory::Read(own), before);
    EXPECT_EQ(Entries(dialog->directoryList()),
        (QStringList {"Alpha [sent]", "Added [not sent]", "Own [not sent]", "Gone [not sent]"}));
}

TEST_F(UpdateDatabaseTest, FailureKeepsTheDatabaseAndTheList)
{
    const auto dialog = Open();
    const QStringList before = Entries(dialog->directoryList());
    for (const int answer : {404, 500}) {
        boxes.messages.clear();
        status = answer;
        dialog->updateDatabase();
        const std::vector<Message> failure {
            {"The update could not be retrieved", "Error", MessageIcon::Exclamation}};
        EXPECT_EQ(boxes.messages, failure);
        EXPECT_EQ(TemporaryDirectory::Read(folder.FilePath("dirdata.xml")), oldDatabase);
        EXPECT_EQ(Entries(dialog->directoryList()), before);
    }
}

TEST_F(UpdateDatabaseTest, TheWaitCannotBeDismissed)
{
    // The database comes once the dismissals were tried.
    server.Hold();
    const auto dialog = Open();
    bool stayed = false;
    DuringTheWait(
        dialog.get(), [](UpdateDialog*) { return true; },
        [&](UpdateDialog* wait) {
            EXPECT_EQ(wait->windowTitle(), QStringLiteral("Update article directory database"));
            wait->reject();
            wait->close();
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(wait, &escape);
            stayed = wait->isVisible();
            server.Release();
        });
    dialog->updateDatabase();
    EXPECT_TRUE(stayed);
    const std::vector<Message> success {{"Update successful", "Update", MessageIcon::None}};
    EXPECT_EQ(boxes.messages, success);
}

TEST_F(UpdateDatabaseTest, CancelStopsTheTransferAndChangesNothing)
{
    constexpr std::size_t length = 1000000;
    TestHttpServer slow;
    slow.Trickle("/updates/quillmarkdemo.xml", std::string(1000, ' '), 10, length);
    slow.Start();
    const auto dialog = Open(slow);
    const QStringList before = Entries(dialog->directoryList());

    int share = -1;
    QString bytes;
    DuringTheWait(
        dialog.get(), [](UpdateDialog* wait) { return wait->progressBar()->value() > 0; },
        [&](UpdateDialog* wait) {
            share = wait->progressBar()->value();
            bytes = wait->bytesLabel()->text();
            QTest::mouseClick(wait->cancelButton(), Qt::LeftButton);
        });
    // Uncancelled, the body would come whole, ten seconds later, and its
    // failure would be shown.
    dialog->updateDatabase();

    EXPECT_GT(share, 0);
    EXPECT_LT(share, 100);
    EXPECT_TRUE(bytes.endsWith(
        QStringLiteral(" of %1 bytes received").arg(QLocale().toString(qulonglong(length)))))
        << bytes.toStdString();
    EXPECT_TRUE(boxes.messages.empty());
    EXPECT_EQ(Database(), oldDatabase);
    EXPECT_EQ(Entries(dialog->directoryList()), before);
    EXPECT_TRUE(WaitFor([&] { return slow.trickling == 0; })) << "the server is still sending";
}

TEST_F(UpdateDatabaseTest, ABodyWithoutSizeShowsTheBytesAndEndsAtTheOverallLimit)
{
    TestHttpServer slow;
    slow.Trickle("/updates/quillmarkdemo.xml", "<r>  ", 20);
    slow.Start();

    // Looked at while it trickles, then cancelled: the body never ends.
    bool busy = false;
    QString bytes;
    const auto dialog = Open(slow);
    DuringTheWait(
        dialog.get(), [](UpdateDialog* wait) { return !wait->bytesLabel()->text().isEmpty(); },
        [&](UpdateDialog* wait) {
            busy = wait->progressBar()->maximum() == 0;
            bytes = wait->bytesLabel()->text();
            QTest::mouseClick(wait->cancelButton(), Qt::LeftButton);
        });
    dialog->updateDatabase();
    EXPECT_TRUE(busy) << "no share without a size";
    EXPECT_TRUE(bytes.endsWith(QStringLiteral(" bytes received"))) << bytes.toStdString();
    EXPECT_TRUE(boxes.messages.empty());

    const auto limited = Open(slow, [](MainWindow::Settings& settings) {
        settings.updateOptions.transferTimeout = std::chrono::milliseconds(300);
    });
    limited->updateDatabase();
    const std::vector<Message> failure {
        {"The update could not be retrieved", "Error", MessageIcon::Exclamation}};
    EXPECT_EQ(boxes.messages, failure);
    EXPECT_EQ(Database(), oldDatabase);
}

TEST_F(UpdateDatabaseTest, AWaitEndedFromOutsideIsNoAnswer)
{
    // The database is held back until the wait is over.
    server.Hold();
    const auto dialog = Open();
    const QStringList before = Entries(dialog->directoryList());
    // The plain dialog results, which the update's exit codes share.
    for (const int result : {int(QDialog::Rejected), int(QDialog::Accepted)}) {
        SCOPED_TRACE(result);
        DuringTheWait(
            dialog.get(), [](UpdateDialog*) { return true; },
            [result](UpdateDialog* wait) { wait->done(result); });
        dialog->updateDatabase();
        EXPECT_TRUE(boxes.messages.empty());
        EXPECT_EQ(Database(), oldDatabase);
        EXPECT_EQ(Entries(dialog->directoryList()), before);
    }
    server.Release();
}

TEST_F(UpdateDatabaseTest, DestroyingTheWaitStopsItsWorker)
{
    TestHttpServer slow;
    slow.Trickle("/updates/quillmarkdemo.xml", "<r>  ", 20);
    slow.Start();
    auto wait = std::make_unique<UpdateDialog>();
    wait->updateUrl = slow.Url("/updates/quillmarkdemo.xml");
    wait->databasePath = folder.FilePath("dirdata.xml");
    wait->options.temporaryFolder = folder.path.string();
    // Left running, the worker would end only at this limit. The bounds
    // below, half of it, tell the two apart on any machine.
    constexpr std::chrono::seconds limit {60};
    wait->options.transferTimeout = limit;
    wait->show();
    ASSERT_TRUE(WaitFor([&] { return slow.trickling == 1; }));

    const auto start = std::chrono::steady_clock::now();
    wait.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, limit / 2) << "the worker was stopped";
    EXPECT_TRUE(WaitFor([&] { return slow.trickling == 0; }, int(limit.count()) * 1000 / 2))
        << "the server is still sending";
    EXPECT_EQ(Database(), oldDatabase);
}

TEST_F(UpdateDatabaseTest, OnlyHttpAndHttpsServersAreUsed)
{
    const std::string plainPort = std::to_string(server.port);
    const struct
    {
        std::string url;
        bool refused;
    } rows[] = {
        {"ftp://127.0.0.1:" + plainPort, true},
        {"127.0.0.1:" + plainPort, true},
        // Accepted, but a plain HTTP server cannot answer in TLS.
        {"https://127.0.0.1:" + plainPort, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.url);
        boxes.messages.clear();
        const auto dialog = Open(server, [&](MainWindow::Settings& settings) {
            settings.serverUrl = QString::fromStdString(row.url);
        });
        const Message refusal {"The address of the maker's server, \"" + row.url +
                "\", is not supported: it must start with http:// or https://. The article "
                "directory database cannot be updated.",
            "Error", MessageIcon::Error};
        const Message failure {
            "The update could not be retrieved", "Error", MessageIcon::Exclamation};
        if (row.refused)
            ASSERT_TRUE(WaitFor([&] { return !boxes.messages.empty(); }));
        else
            Pump(50);
        dialog->updateDatabase();
        const std::vector<Message> expected =
            row.refused ? std::vector<Message> {refusal, refusal} : std::vector<Message> {failure};
        EXPECT_EQ(boxes.messages, expected);
        EXPECT_EQ(Database(), oldDatabase);
    }
}

TEST(UpdateDialogTest, MissingAddressIsAnInternalError)
{
    UpdateDialog dialog;
    dialog.databasePath = "/tmp/dirdata.xml";
    dialog.exec();
    EXPECT_EQ(dialog.exitCode(), std::optional<int>(UpdateInternalError));
}

} // namespace
