#include "ShellTestSupport.h"
#include "core/profiles/StateFile.h"
#include "shell/app/MainWindow.h"
#include "shell/profiles/ProfileEditorDialog.h"
#include "shell/profiles/ProfileManagerDialog.h"
#include "support/Printers.h"
#include "support/SampleProfiles.h"
#include "support/TemporaryDirectory.h"
#include "support/TestHttpServer.h"
#include "ui_ProfileEditorDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>

#include <deque>

namespace {

// The sample profile in a category the editor's list does not hold: the
// editor must pass it through all the same.
Profile Full(const std::string& name)
{
    Profile p = SampleProfile(name);
    p.category = "Not a listed category";
    p.subcategory = "Sub";
    return p;
}

// Answers the editors the manager opens, one answer each, in order.
class EditorAnswers
{
public:
    EditorAnswers()
    {
        ProfileEditorDialog::SetTestHook([this](ProfileEditorDialog& editor) {
            ++opened;
            if (answers.empty()) {
                ADD_FAILURE() << "an editor opened that no answer was given for";
                return int(QDialog::Rejected);
            }
            auto answer = std::move(answers.front());
            answers.pop_front();
            return answer(editor);
        });
    }
    ~EditorAnswers() { ProfileEditorDialog::SetTestHook({}); }

    // OK after typing `name` into the name field and `title` into the title.
    void Type(const QString& name, const QString& title = {})
    {
        answers.push_back([name, title](ProfileEditorDialog& editor) {
            editor.Form()->name->setText(name);
            if (!title.isNull())
                editor.Form()->articleTitle->setText(title);
            return int(QDialog::Accepted);
        });
    }
    void Cancel(const QString& typed)
    {
        answers.push_back([typed](ProfileEditorDialog& editor) {
            editor.Form()->name->setText(typed);
            editor.Form()->email->setText(typed);
            return int(QDialog::Rejected);
        });
    }

    std::deque<std::function<int(ProfileEditorDialog&)>> answers;
    int opened = 0;
};

void Select(ProfileManagerDialog& manager, int row)
{
    manager.ProfileList()->setCurrentRow(row);
}

TEST(ProfileEditorTest, ValuesPassThroughUnchanged)
{
    EditorAnswers answers;
    for (const Profile& profile : {Profile(), Full("Garden")}) {
        SCOPED_TRACE(profile.name);
        answers.answers.push_back([](ProfileEditorDialog& editor) {
            EXPECT_FALSE(editor.Form()->categoryCombo->isVisible());
            EXPECT_FALSE(editor.Form()->subcategoryCombo->isVisible());
            EXPECT_EQ(editor.Form()->categoryCombo->count(), 46);
            EXPECT_EQ(editor.Form()->categoryCombo->itemText(0), QStringLiteral("Accounting"));
            EXPECT_EQ(
                editor.Form()->categoryCombo->itemText(45), QStringLiteral("Wholesale Trade"));
            EXPECT_EQ(editor.Form()->password->echoMode(), QLineEdit::Password);
            EXPECT_EQ(editor.windowTitle(), QStringLiteral("Profile Data"));
            return int(QDialog::Accepted);
        });
        ProfileEditorDialog editor;
        editor.SetValues(profile);
        EXPECT_EQ(editor.DoModal(), QDialog::Accepted);
        EXPECT_EQ(editor.Values(), profile);
    }
}

// Each value goes into the control labelled for it, multi-line values with
// the editor's own line breaks.
TEST(ProfileEditorTest, EachValueShowsInItsOwnControl)
{
    EditorAnswers answers;
    answers.answers.push_back([](ProfileEditorDialog& editor) {
        const Ui::ProfileEditorDialog& form = *editor.Form();
        const struct
        {
            const char* control;
            QString shown;
            std::string expected;
        } rows[] = {
            {"name", form.name->text(), "Garden"},
            {"url", form.url->text(), "http://garden.test/"},
            {"articleTitle", form.articleTitle->text(), "Ten Herbs for Shade"},
            {"articleContent", form.articleContent->toPlainText(),
                "Herbs like shade.\nMint spreads fast."},
            {"category", form.categoryCombo->currentText(), "Not a listed category"},
            {"subcategory", form.subcategoryCombo->currentText(), "Sub"},
            {"authorInfo", form.authorInfo->toPlainText(), "Jo Lee writes\nabout small gardens."},
            {"email", form.email->text(), "jo@garden.test"},
            {"firstName", form.firstName->text(), "Jo"},
            {"lastName", form.lastName->text(), "Lee"},
            {"password", form.password->text(), "pa ss"},
        };
        for (const auto& row : rows)
            EXPECT_EQ(row.shown.toStdString(), row.expected) << row.control;
        return int(QDialog::Rejected);
    });
    ProfileEditorDialog editor;
    editor.SetValues(Full("Garden"));
    EXPECT_EQ(editor.DoModal(), QDialog::Rejected);
}

TEST(ProfileEditorTest, TypedTextComesBackWithCrLfLineBreaks)
{
    ProfileEditorDialog editor;
    QTimer::singleShot(0, &editor, [&editor] {
        QTest::keyClicks(editor.Form()->name, QStringLiteral("Typed"));
        QTest::keyClicks(editor.Form()->articleContent, QStringLiteral("first"));
        QTest::keyClick(editor.Form()->articleContent, Qt::Key_Return);
        QTest::keyClicks(editor.Form()->articleContent, QStringLiteral("second"));
        QTest::keyClicks(editor.Form()->authorInfo, QStringLiteral("a"));
        QTest::keyClick(editor.Form()->authorInfo, Qt::Key_Enter);
        QTest::keyClicks(editor.Form()->authorInfo, QStringLiteral("b"));
        QTest::keyClicks(editor.Form()->password, QStringLiteral("s3cret"));
        EXPECT_TRUE(editor.isVisible()) << "Enter in a multi-line field only starts a new line";
        // Enter in a single-line field presses OK.
        QTest::keyClick(editor.Form()->lastName, Qt::Key_Return);
    });
    ASSERT_EQ(editor.DoModal(), QDialog::Accepted);
    EXPECT_EQ(editor.Values().name, "Typed");
    EXPECT_EQ(editor.Values().articleContent, "first\r\nsecond");
    EXPECT_EQ(editor.Values().authorInfo, "a\r\nb");
    EXPECT_EQ(editor.Values().password, "s3cret");
    EXPECT_EQ(editor.Values().category, "");
}

TEST(ProfileEditorTest, CancelHandsNothingBackAndTabFollowsTheForm)
{
    EditorAnswers answers;
    answers.answers.push_back([](ProfileEditorDialog& editor) {
        QStringList order;
        QWidget* widget = editor.Form()->name;
        widget->setFocus();
        for (int i = 0; i < 11; ++i) {
            order << widget->objectName();
            widget = widget->nextInFocusChain();
            while (!widget->isVisible() || widget->focusPolicy() == Qt::NoFocus)
                widget = widget->nextInFocusChain();
        }
        EXPECT_EQ(order,
            (QStringList {"name", "url", "articleTitle", "articleContent", "firstName", "lastName",
                "email", "password", "authorInfo", "okButton", "cancelButton"}));
        editor.Form()->name->setText(QStringLiteral("changed"));
        return int(QDialog::Rejected);
    });
    ProfileEditorDialog editor;
    editor.SetValues(Full("Kept"));
    EXPECT_EQ(editor.DoModal(), QDialog::Rejected);
    EXPECT_EQ(editor.Values(), Full("Kept"));
}

class ProfileManagerTest : public ::testing::Test
{
protected:
    ProfileManagerDialog manager;
    EditorAnswers answers;
};

TEST_F(ProfileManagerTest, AddEditAndRemoveGoStraightIntoTheList)
{
    answers.Type(QStringLiteral("zeta"));
    answers.Type(QStringLiteral("Alpha"));
    answers.Type(QString());
    manager.OnAdd();
    manager.OnAdd();
    manager.OnAdd();
    EXPECT_EQ(Entries(manager.ProfileList()), (QStringList {"", "Alpha", "zeta"}));
    ASSERT_EQ(manager.Profiles().size(), 3u);
    EXPECT_EQ(manager.Profiles()[0].name, "zeta") << "the store keeps the order of creation";
    EXPECT_EQ(manager.Profiles()[2].name, "");

    // Edit and Remove without a selection do nothing.
    manager.OnEdit();
    manager.OnRemove();
    EXPECT_EQ(answers.opened, 3);
    EXPECT_EQ(manager.Profiles().size(), 3u);

    // Only the article changes: the entry stays; the sent marks stay.
    manager.MarkSent("Alpha", "Dir");
    Select(manager, 1);
    answers.Type(QStringLiteral("Alpha"), QStringLiteral("New title"));
    manager.OnEdit();
    EXPECT_EQ(manager.Profiles()[1].articleTitle, "New title");
    EXPECT_EQ(Entries(manager.ProfileList()), (QStringList {"", "Alpha", "zeta"}));

    // A new name moves the entry and carries the marks along.
    Select(manager, 1);
    answers.Type(QStringLiteral("omega"));
    manager.OnEdit();
    EXPECT_EQ(Entries(manager.ProfileList()), (QStringList {"", "omega", "zeta"}));
    EXPECT_TRUE(manager.IsSent("omega", "Dir"));
    EXPECT_FALSE(manager.IsSent("Alpha", "Dir"));

    // Cancel changes nothing, whatever was typed.
    Select(manager, 2);
    answers.Cancel(QStringLiteral("typed"));
    manager.OnEdit();
    EXPECT_EQ(manager.Profiles()[0].name, "zeta");
    EXPECT_EQ(manager.Profiles()[0].email, "");

    Select(manager, 0);
    manager.OnRemove();
    EXPECT_EQ(Entries(manager.ProfileList()), (QStringList {"omega", "zeta"}));
    EXPECT_EQ(manager.Profiles().size(), 2u);
    EXPECT_EQ(answers.opened, 6);
}

TEST_F(ProfileManagerTest, EachEntryActsOnItsOwnProfile)
{
    // A name that is not UTF-8 shows differently from its bytes; equal names
    // show alike. Each entry still leads to its own profile.
    Profile latin = Full("Caf\xE9");
    latin.articleTitle = "latin";
    manager.AddProfile(latin);
    QTimer::singleShot(0, &manager, [this] {
        answers.Type(QStringLiteral("Tips"), QStringLiteral("first"));
        answers.Type(QStringLiteral("Tips"), QStringLiteral("second"));
        manager.OnAdd();
        manager.OnAdd();
        EXPECT_EQ(Entries(manager.ProfileList()),
            (QStringList {QStringLiteral("Caf\uFFFD"), "Tips", "Tips"}));

        Select(manager, 2);
        answers.answers.push_back([](ProfileEditorDialog& editor) {
            EXPECT_EQ(editor.Form()->articleTitle->text(), QStringLiteral("second"));
            editor.Form()->articleTitle->setText(QStringLiteral("edited"));
            return int(QDialog::Accepted);
        });
        manager.OnEdit();
        EXPECT_EQ(manager.Profiles()[1].articleTitle, "first");
        EXPECT_EQ(manager.Profiles()[2].articleTitle, "edited");

        Select(manager, 0);
        answers.answers.push_back([](ProfileEditorDialog& editor) {
            EXPECT_EQ(editor.Form()->articleTitle->text(), QStringLiteral("latin"));
            return int(QDialog::Rejected);
        });
        manager.OnEdit();
        manager.OnRemove();
        ASSERT_EQ(manager.Profiles().size(), 2u);
        EXPECT_EQ(manager.Profiles()[0].articleTitle, "first");

        // The positions behind the removed profile moved up with it.
        Select(manager, 1);
        manager.OnRemove();
        ASSERT_EQ(manager.Profiles().size(), 1u);
        EXPECT_EQ(manager.Profiles()[0].articleTitle, "first");
        manager.accept();
    });
    manager.DoModal();
    EXPECT_EQ(answers.opened, 4);
}

TEST_F(ProfileManagerTest, TabAndHomeSelectAnEntry)
{
    manager.AddProfile(Full("beta"));
    manager.AddProfile(Full("alpha"));
    QTimer::singleShot(0, &manager, [this] {
        // Close has the focus; the list is next in the tab order.
        ASSERT_NE(manager.focusWidget(), nullptr);
        QTest::keyClick(manager.focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(manager.focusWidget(), manager.ProfileList());
        EXPECT_TRUE(manager.ProfileList()->selectedItems().isEmpty());
        QTest::keyClick(manager.ProfileList(), Qt::Key_Home);
        EXPECT_EQ(manager.ProfileList()->selectedItems().size(), 1);
        EXPECT_EQ(manager.ProfileList()->currentItem()->text(), QStringLiteral("alpha"));
        QTest::keyClick(manager.ProfileList(), Qt::Key_End);
        EXPECT_EQ(manager.ProfileList()->currentItem()->text(), QStringLiteral("beta"));

        answers.Type(QStringLiteral("beta"), QStringLiteral("by keyboard"));
        manager.OnEdit();
        EXPECT_EQ(manager.Profiles()[0].articleTitle, "by keyboard");
        manager.accept();
    });
    manager.DoModal();
}

TEST_F(ProfileManagerTest, EscapeAfterAddKeepsTheNewProfile)
{
    answers.Type(QStringLiteral("Kept"));
    QTimer::singleShot(0, &manager, [this] {
        manager.OnAdd();
        QTest::keyClick(&manager, Qt::Key_Escape);
    });
    EXPECT_EQ(manager.DoModal(), QDialog::Rejected);
    ASSERT_EQ(manager.Profiles().size(), 1u);
    EXPECT_EQ(manager.Profiles()[0].name, "Kept");
    EXPECT_EQ(manager.windowTitle(), QStringLiteral("Profile Manager"));
}

// The main window picks its profile again when the manager closes.
class ManageProfilesTest : public ::testing::Test
{
protected:
    ManageProfilesTest()
    {
        server.Page("/updates/", "<html><body>start</body></html>");
        server.Start();
        folder.Write("dirdata.xml",
            "<r><directory name='Dir' submiturl='about:blank' onsubmit='x'/>"
            "<directory name='Other' submiturl='about:blank' onsubmit='x'/></r>");
    }

    void WriteState(const std::vector<Profile>& profiles, const std::string& selected)
    {
        ProfileStore store;
        for (const Profile& profile : profiles)
            store.AddProfile(profile);
        folder.Write("sv.dat", StateFileBytes(store, &selected));
    }

    std::unique_ptr<MainWindow> Open()
    {
        return std::make_unique<MainWindow>(TestSettings(server, folder));
    }

    // Runs Settings, Manage Profiles: `work` acts in the open manager,
    // which is then closed.
    void Manage(MainWindow& dialog, std::function<void(ProfileManagerDialog&)> work)
    {
        ProfileManagerDialog& manager = dialog.ProfileManager();
        QTimer::singleShot(0, &manager, [&manager, work] {
            work(manager);
            manager.accept();
        });
        dialog.OnManageProfiles();
    }

    static int RowOf(ProfileManagerDialog& manager, const QString& name)
    {
        return Entries(manager.ProfileList()).indexOf(name);
    }

    std::string FirstLineOfState() const
    {
        const std::string bytes = TemporaryDirectory::Read(folder.FilePath("sv.dat"));
        return bytes.substr(0, bytes.find("\r\n"));
    }

    TestHttpServer server;
    TemporaryDirectory folder;
    EditorAnswers answers;
    MessageBoxRecorder boxes;
};

Profile Named(const std::string& name, std::set<std::string> sent = {})
{
    Profile p;
    p.name = name;
    p.sentDirectories = std::move(sent);
    return p;
}

TEST_F(ManageProfilesTest, RemovingTheSelectedProfileSelectsTheEarliestLeft)
{
    WriteState({Named("zebra", {"Other"}), Named("Mid"), Named("apple", {"Dir"})}, "Mid");
    auto dialog = Open();
    ASSERT_EQ(dialog->CurrentProfile().name, "Mid");
    Manage(*dialog, [](ProfileManagerDialog& manager) {
        Select(manager, RowOf(manager, QStringLiteral("Mid")));
        manager.OnRemove();
    });
    EXPECT_TRUE(dialog->HasCurrentProfile());
    EXPECT_EQ(dialog->CurrentProfile().name, "zebra");
    EXPECT_EQ(dialog->ProfileCombo()->currentText(), QStringLiteral("zebra"));
    EXPECT_EQ(Entries(dialog->ProfileCombo()), (QStringList {"apple", "zebra"}));
    EXPECT_EQ(Entries(dialog->DirectoryList()), (QStringList {"Dir [not sent]", "Other [sent]"}));
    EXPECT_EQ(FirstLineOfState(), "zebra");
}

TEST_F(ManageProfilesTest, RenamingTheSelectedProfileSelectsTheEarliestInTheList)
{
    WriteState({Named("First"), Named("Second", {"Dir"})}, "Second");
    auto dialog = Open();
    Manage(*dialog, [this](ProfileManagerDialog& manager) {
        Select(manager, RowOf(manager, QStringLiteral("Second")));
        answers.Type(QStringLiteral("Renamed"));
        manager.OnEdit();
    });
    EXPECT_EQ(dialog->CurrentProfile().name, "First");
    EXPECT_EQ(dialog->ProfileCombo()->currentText(), QStringLiteral("First"));
    EXPECT_EQ(FirstLineOfState(), "First");
    EXPECT_TRUE(dialog->Profiles().IsSent("Renamed", "Dir"));
    EXPECT_EQ(
        Entries(dialog->DirectoryList()), (QStringList {"Dir [not sent]", "Other [not sent]"}));
}

TEST_F(ManageProfilesTest, RemovingEveryProfileLeavesNoneSelected)
{
    WriteState({Named("Only", {"Dir"})}, "Only");
    auto dialog = Open();
    Manage(*dialog, [](ProfileManagerDialog& manager) {
        Select(manager, 0);
        manager.OnRemove();
    });
    EXPECT_FALSE(dialog->HasCurrentProfile());
    EXPECT_EQ(dialog->ProfileCombo()->count(), 0);
    EXPECT_EQ(Entries(dialog->DirectoryList()), (QStringList {"Dir", "Other"}));
    EXPECT_EQ(TemporaryDirectory::Read(folder.FilePath("sv.dat")), "\r\n0\r\n");
}

TEST_F(ManageProfilesTest, TheFirstProfileAddedIsSelected)
{
    auto dialog = Open();
    ASSERT_FALSE(dialog->HasCurrentProfile());
    Manage(*dialog, [this](ProfileManagerDialog& manager) {
        answers.Type(QStringLiteral("New"), QStringLiteral("A title"));
        manager.OnAdd();
    });
    EXPECT_TRUE(dialog->HasCurrentProfile());
    EXPECT_EQ(dialog->CurrentProfile().articleTitle, "A title");
    EXPECT_EQ(dialog->ProfileCombo()->currentText(), QStringLiteral("New"));
    EXPECT_EQ(
        Entries(dialog->DirectoryList()), (QStringList {"Dir [not sent]", "Other [not sent]"}));
    EXPECT_EQ(TemporaryDirectory::Read(folder.FilePath("sv.dat")),
        "New\r\n1\r\nNew\r\n\r\nA title\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n0\r\n");
}

TEST_F(ManageProfilesTest, GardenStaysSelectedBesideGardenTips)
{
    WriteState({Named("Garden Tips", {"Other"}), Named("Garden", {"Dir"})}, "Garden");
    auto dialog = Open();
    Manage(*dialog, [this](ProfileManagerDialog& manager) {
        Select(manager, RowOf(manager, QStringLiteral("Garden")));
        answers.Type(QStringLiteral("Garden"), QStringLiteral("Edited in the manager"));
        manager.OnEdit();
    });
    EXPECT_EQ(dialog->ProfileCombo()->currentText(), QStringLiteral("Garden"));
    EXPECT_EQ(dialog->CurrentProfile().name, "Garden");
    EXPECT_EQ(dialog->CurrentProfile().articleTitle, "Edited in the manager");
    EXPECT_EQ(Entries(dialog->DirectoryList()), (QStringList {"Dir [sent]", "Other [not sent]"}));
    EXPECT_EQ(FirstLineOfState(), "Garden");
}

} // namespace
