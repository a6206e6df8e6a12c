#include "ShellTestSupport.h"
#include "core/profiles/StateFile.h"
#include "core/record/ProfileExtrasRecord.h"
#include "core/record/SubmissionRecord.h"
#include "shell/app/MainWindow.h"
#include "shell/profiles/ProfileEditorDialog.h"
#include "shell/profiles/ProfileManagerDialog.h"
#include "support/FixedWallClock.h"
#include "support/Printers.h"
#include "support/SampleProfiles.h"
#include "support/TemporaryDirectory.h"
#include "support/TestHttpServer.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
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
    // OK after typing `name` into the name field and `title` into the title.
    void Type(const QString& name, const QString& title = {})
    {
        answers.push_back([name, title](ProfileEditorDialog& editor) {
            Child<QLineEdit>(editor, "name")->setText(name);
            if (!title.isNull())
                Child<QLineEdit>(editor, "articleTitle")->setText(title);
            return int(QDialog::Accepted);
        });
    }
    void Cancel(const QString& typed)
    {
        answers.push_back([typed](ProfileEditorDialog& editor) {
            Child<QLineEdit>(editor, "name")->setText(typed);
            Child<QLineEdit>(editor, "email")->setText(typed);
            return int(QDialog::Rejected);
        });
    }

    std::deque<std::function<int(ProfileEditorDialog&)>> answers;
    int opened = 0;

private:
    ModalAnswerer<ProfileEditorDialog> answerer {[this](ProfileEditorDialog& editor) {
        ++opened;
        if (answers.empty()) {
            ADD_FAILURE() << "an editor opened that no answer was given for";
            return int(QDialog::Rejected);
        }
        auto answer = std::move(answers.front());
        answers.pop_front();
        return answer(editor);
    }};
};

QListWidget* ProfileList(ProfileManagerDialog& manager)
{
    return Child<QListWidget>(manager, "profileList");
}

void Select(ProfileManagerDialog& manager, int row)
{
    ProfileList(manager)->setCurrentRow(row);
}

TEST(ProfileEditorTest, ValuesPassThroughUnchanged)
{
    EditorAnswers answers;
    for (const Profile& profile : {Profile(), Full("Garden")}) {
        SCOPED_TRACE(profile.name);
        answers.answers.push_back([](ProfileEditorDialog& editor) {
            EXPECT_FALSE(Child<QComboBox>(editor, "categoryCombo")->isVisible());
            EXPECT_FALSE(Child<QComboBox>(editor, "subcategoryCombo")->isVisible());
            EXPECT_EQ(Child<QComboBox>(editor, "categoryCombo")->count(), 46);
            EXPECT_EQ(Child<QComboBox>(editor, "categoryCombo")->itemText(0),
                QStringLiteral("Accounting"));
            EXPECT_EQ(Child<QComboBox>(editor, "categoryCombo")->itemText(45),
                QStringLiteral("Wholesale Trade"));
            EXPECT_EQ(Child<QLineEdit>(editor, "password")->echoMode(), QLineEdit::Password);
            EXPECT_EQ(editor.windowTitle(), QStringLiteral("Profile Data"));
            return int(QDialog::Accepted);
        });
        ProfileEditorDialog editor(profile);
        EXPECT_EQ(editor.exec(), QDialog::Accepted);
        EXPECT_EQ(editor.values(), profile);
    }
}

// Each value goes into the control labelled for it, multi-line values with
// the editor's own line breaks.
TEST(ProfileEditorTest, EachValueShowsInItsOwnControl)
{
    EditorAnswers answers;
    answers.answers.push_back([](ProfileEditorDialog& editor) {
        const struct
        {
            const char* control;
            QString shown;
            std::string expected;
        } rows[] = {
            {"name", Child<QLineEdit>(editor, "name")->text(), "Garden"},
            {"url", Child<QLineEdit>(editor, "url")->text(), "http://garden.test/"},
            {"articleTitle", Child<QLineEdit>(editor, "articleTitle")->text(),
                "Ten Herbs for Shade"},
            {"articleContent", Child<QPlainTextEdit>(editor, "articleContent")->toPlainText(),
                "Herbs like shade.\nMint spreads fast."},
            {"category", Child<QComboBox>(editor, "categoryCombo")->currentText(),
                "Not a listed category"},
            {"subcategory", Child<QComboBox>(editor, "subcategoryCombo")->currentText(), "Sub"},
            {"authorInfo", Child<QPlainTextEdit>(editor, "authorInfo")->toPlainText(),
                "Jo Lee writes\nabout small gardens."},
            {"email", Child<QLineEdit>(editor, "email")->text(), "jo@garden.test"},
            {"firstName", Child<QLineEdit>(editor, "firstName")->text(), "Jo"},
            {"lastName", Child<QLineEdit>(editor, "lastName")->text(), "Lee"},
            {"password", Child<QLineEdit>(editor, "password")->text(), "pa ss"},
        };
        for (const auto& row : rows)
            EXPECT_EQ(row.shown.toStdString(), row.expected) << row.control;
        return int(QDialog::Rejected);
    });
    ProfileEditorDialog editor(Full("Garden"));
    EXPECT_EQ(editor.exec(), QDialog::Rejected);
}

TEST(ProfileEditorTest, TypedTextComesBackWithCrLfLineBreaks)
{
    ProfileEditorDialog editor;
    QTimer::singleShot(0, &editor, [&editor] {
        QTest::keyClicks(Child<QLineEdit>(editor, "name"), QStringLiteral("Typed"));
        QTest::keyClicks(Child<QPlainTextEdit>(editor, "articleContent"), QStringLiteral("first"));
        QTest::keyClick(Child<QPlainTextEdit>(editor, "articleContent"), Qt::Key_Return);
        QTest::keyClicks(Child<QPlainTextEdit>(editor, "articleContent"), QStringLiteral("second"));
        QTest::keyClicks(Child<QPlainTextEdit>(editor, "authorInfo"), QStringLiteral("a"));
        QTest::keyClick(Child<QPlainTextEdit>(editor, "authorInfo"), Qt::Key_Enter);
        QTest::keyClicks(Child<QPlainTextEdit>(editor, "authorInfo"), QStringLiteral("b"));
        QTest::keyClicks(Child<QLineEdit>(editor, "password"), QStringLiteral("s3cret"));
        EXPECT_TRUE(editor.isVisible()) << "Enter in a multi-line field only starts a new line";
        // Enter in a single-line field presses OK.
        QTest::keyClick(Child<QLineEdit>(editor, "lastName"), Qt::Key_Return);
    });
    ASSERT_EQ(editor.exec(), QDialog::Accepted);
    EXPECT_EQ(editor.values().name, "Typed");
    EXPECT_EQ(editor.values().articleContent, "first\r\nsecond");
    EXPECT_EQ(editor.values().authorInfo, "a\r\nb");
    EXPECT_EQ(editor.values().password, "s3cret");
    EXPECT_EQ(editor.values().category, "");
}

TEST(ProfileEditorTest, TabFollowsTheForm)
{
    EditorAnswers answers;
    answers.answers.push_back([](ProfileEditorDialog& editor) {
        QStringList order;
        QWidget* widget = Child<QLineEdit>(editor, "name");
        widget->setFocus();
        for (int i = 0; i < 14; ++i) {
            order << widget->objectName();
            widget = widget->nextInFocusChain();
            while (!widget->isVisible() || widget->focusPolicy() == Qt::NoFocus)
                widget = widget->nextInFocusChain();
        }
        EXPECT_EQ(order,
            (QStringList {"name", "url", "articleTitle", "articleContent", "firstName", "lastName",
                "email", "password", "authorInfo", "byline", "summary", "tags", "okButton",
                "cancelButton"}));
        Child<QLineEdit>(editor, "name")->setText(QStringLiteral("changed"));
        return int(QDialog::Rejected);
    });
    ProfileEditorDialog editor(Full("Kept"));
    EXPECT_EQ(editor.exec(), QDialog::Rejected);
}

class ProfileManagerTest : public ::testing::Test
{
protected:
    ProfileStore store;
    EditorAnswers answers;
};

TEST_F(ProfileManagerTest, AddEditAndRemoveGoStraightIntoTheList)
{
    ProfileManagerDialog manager(store);
    answers.Type(QStringLiteral("zeta"));
    answers.Type(QStringLiteral("Alpha"));
    answers.Type(QString());
    manager.addProfile();
    manager.addProfile();
    manager.addProfile();
    EXPECT_EQ(Entries(ProfileList(manager)), (QStringList {"", "Alpha", "zeta"}));
    ASSERT_EQ(store.Profiles().size(), 3u);
    EXPECT_EQ(store.Profiles()[0].name, "zeta") << "the store keeps the order of creation";
    EXPECT_EQ(store.Profiles()[2].name, "");

    // Edit and Remove without a selection do nothing.
    manager.editProfile();
    manager.removeProfile();
    EXPECT_EQ(answers.opened, 3);
    EXPECT_EQ(store.Profiles().size(), 3u);

    // Only the article changes: the entry stays; the sent marks stay.
    store.MarkSent("Alpha", "Dir");
    Select(manager, 1);
    answers.Type(QStringLiteral("Alpha"), QStringLiteral("New title"));
    manager.editProfile();
    EXPECT_EQ(store.Profiles()[1].articleTitle, "New title");
    EXPECT_EQ(Entries(ProfileList(manager)), (QStringList {"", "Alpha", "zeta"}));

    // A new name moves the entry and carries the marks along.
    Select(manager, 1);
    answers.Type(QStringLiteral("omega"));
    manager.editProfile();
    EXPECT_EQ(Entries(ProfileList(manager)), (QStringList {"", "omega", "zeta"}));
    EXPECT_TRUE(store.IsSent("omega", "Dir"));
    EXPECT_FALSE(store.IsSent("Alpha", "Dir"));

    // Cancel changes nothing, whatever was typed.
    Select(manager, 2);
    answers.Cancel(QStringLiteral("typed"));
    manager.editProfile();
    EXPECT_EQ(store.Profiles()[0].name, "zeta");
    EXPECT_EQ(store.Profiles()[0].email, "");

    Select(manager, 0);
    manager.removeProfile();
    EXPECT_EQ(Entries(ProfileList(manager)), (QStringList {"omega", "zeta"}));
    EXPECT_EQ(store.Profiles().size(), 2u);
    EXPECT_EQ(answers.opened, 6);
}

TEST_F(ProfileManagerTest, EachEntryActsOnItsOwnProfile)
{
    // A name that is not UTF-8 shows differently from its bytes; equal names
    // show alike. Each entry still leads to its own profile.
    Profile latin = Full("Caf\xE9");
    latin.articleTitle = "latin";
    store.AddProfile(latin);
    ProfileManagerDialog manager(store);
    QTimer::singleShot(0, &manager, [this, &manager] {
        answers.Type(QStringLiteral("Tips"), QStringLiteral("first"));
        answers.Type(QStringLiteral("Tips"), QStringLiteral("second"));
        manager.addProfile();
        manager.addProfile();
        EXPECT_EQ(Entries(ProfileList(manager)),
            (QStringList {QStringLiteral("Caf\uFFFD"), "Tips", "Tips"}));

        Select(manager, 2);
        answers.answers.push_back([](ProfileEditorDialog& editor) {
            EXPECT_EQ(Child<QLineEdit>(editor, "articleTitle")->text(), QStringLiteral("second"));
            Child<QLineEdit>(editor, "articleTitle")->setText(QStringLiteral("edited"));
            return int(QDialog::Accepted);
        });
        manager.editProfile();
        EXPECT_EQ(store.Profiles()[1].articleTitle, "first");
        EXPECT_EQ(store.Profiles()[2].articleTitle, "edited");

        Select(manager, 0);
        answers.answers.push_back([](ProfileEditorDialog& editor) {
            EXPECT_EQ(Child<QLineEdit>(editor, "articleTitle")->text(), QStringLiteral("latin"));
            return int(QDialog::Rejected);
        });
        manager.editProfile();
        manager.removeProfile();
        ASSERT_EQ(store.Profiles().size(), 2u);
        EXPECT_EQ(store.Profiles()[0].articleTitle, "first");

        // The positions behind the removed profile moved up with it.
        Select(manager, 1);
        manager.removeProfile();
        ASSERT_EQ(store.Profiles().size(), 1u);
        EXPECT_EQ(store.Profiles()[0].articleTitle, "first");
        manager.accept();
    });
    manager.exec();
    EXPECT_EQ(answers.opened, 4);
}

TEST_F(ProfileManagerTest, TabAndHomeSelectAnEntry)
{
    store.AddProfile(Full("beta"));
    store.AddProfile(Full("alpha"));
    ProfileManagerDialog manager(store);
    QTimer::singleShot(0, &manager, [this, &manager] {
        // Close has the focus; the list is next in the tab order.
        ASSERT_NE(manager.focusWidget(), nullptr);
        QTest::keyClick(manager.focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(manager.focusWidget(), ProfileList(manager));
        EXPECT_TRUE(ProfileList(manager)->selectedItems().isEmpty());
        QTest::keyClick(ProfileList(manager), Qt::Key_Home);
        EXPECT_EQ(ProfileList(manager)->selectedItems().size(), 1);
        EXPECT_EQ(ProfileList(manager)->currentItem()->text(), QStringLiteral("alpha"));
        QTest::keyClick(ProfileList(manager), Qt::Key_End);
        EXPECT_EQ(ProfileList(manager)->currentItem()->text(), QStringLiteral("beta"));

        answers.Type(QStringLiteral("beta"), QStringLiteral("by keyboard"));
        manager.editProfile();
        EXPECT_EQ(store.Profiles()[0].articleTitle, "by keyboard");
        manager.accept();
    });
    manager.exec();
}

TEST_F(ProfileManagerTest, EscapeAfterAddKeepsTheNewProfile)
{
    answers.Type(QStringLiteral("Kept"));
    ProfileManagerDialog manager(store);
    QTimer::singleShot(0, &manager, [&manager] {
        manager.addProfile();
        QTest::keyClick(&manager, Qt::Key_Escape);
    });
    EXPECT_EQ(manager.exec(), QDialog::Rejected);
    ASSERT_EQ(store.Profiles().size(), 1u);
    EXPECT_EQ(store.Profiles()[0].name, "Kept");
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
        ModalAnswerer<ProfileManagerDialog> answerer([work](ProfileManagerDialog& manager) {
            work(manager);
            return int(QDialog::Accepted);
        });
        dialog.manageProfiles();
    }

    static int RowOf(ProfileManagerDialog& manager, const QString& name)
    {
        return Entries(ProfileList(manager)).indexOf(name);
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
    ASSERT_NE(dialog->currentProfile(), nullptr);
    ASSERT_EQ(dialog->currentProfile()->name, "Mid");
    Manage(*dialog, [](ProfileManagerDialog& manager) {
        Select(manager, RowOf(manager, QStringLiteral("Mid")));
        manager.removeProfile();
    });
    ASSERT_NE(dialog->currentProfile(), nullptr);
    EXPECT_EQ(dialog->currentProfile()->name, "zebra");
    EXPECT_EQ(dialog->profileCombo()->currentText(), QStringLiteral("zebra"));
    EXPECT_EQ(Entries(dialog->profileCombo()), (QStringList {"apple", "zebra"}));
    EXPECT_EQ(Entries(dialog->directoryList()), (QStringList {"Dir [not sent]", "Other [sent]"}));
    EXPECT_EQ(FirstLineOfState(), "zebra");
}

TEST_F(ManageProfilesTest, RenamingTheSelectedProfileSelectsTheEarliestInTheList)
{
    WriteState({Named("First"), Named("Second", {"Dir"})}, "Second");
    auto dialog = Open();
    Manage(*dialog, [this](ProfileManagerDialog& manager) {
        Select(manager, RowOf(manager, QStringLiteral("Second")));
        answers.Type(QStringLiteral("Renamed"));
        manager.editProfile();
    });
    EXPECT_EQ(dialog->currentProfile()->name, "First");
    EXPECT_EQ(dialog->profileCombo()->currentText(), QStringLiteral("First"));
    EXPECT_EQ(FirstLineOfState(), "First");
    EXPECT_TRUE(dialog->profiles().IsSent("Renamed", "Dir"));
    EXPECT_EQ(
        Entries(dialog->directoryList()), (QStringList {"Dir [not sent]", "Other [not sent]"}));
}

TEST_F(ManageProfilesTest, RemovingEveryProfileLeavesNoneSelected)
{
    WriteState({Named("Only", {"Dir"})}, "Only");
    auto dialog = Open();
    Manage(*dialog, [](ProfileManagerDialog& manager) {
        Select(manager, 0);
        manager.removeProfile();
    });
    EXPECT_EQ(dialog->currentProfile(), nullptr);
    EXPECT_EQ(dialog->profileCombo()->count(), 0);
    EXPECT_EQ(Entries(dialog->directoryList()), (QStringList {"Dir", "Other"}));
    EXPECT_EQ(TemporaryDirectory::Read(folder.FilePath("sv.dat")), "\r\n0\r\n");
}

TEST_F(ManageProfilesTest, TheFirstProfileAddedIsSelected)
{
    auto dialog = Open();
    ASSERT_EQ(dialog->currentProfile(), nullptr);
    Manage(*dialog, [this](ProfileManagerDialog& manager) {
        answers.Type(QStringLiteral("New"), QStringLiteral("A title"));
        manager.addProfile();
    });
    ASSERT_NE(dialog->currentProfile(), nullptr);
    EXPECT_EQ(dialog->currentProfile()->articleTitle, "A title");
    EXPECT_EQ(dialog->profileCombo()->currentText(), QStringLiteral("New"));
    EXPECT_EQ(
        Entries(dialog->directoryList()), (QStringList {"Dir [not sent]", "Other [not sent]"}));
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
        manager.editProfile();
    });
    EXPECT_EQ(dialog->profileCombo()->currentText(), QStringLiteral("Garden"));
    EXPECT_EQ(dialog->currentProfile()->name, "Garden");
    EXPECT_EQ(dialog->currentProfile()->articleTitle, "Edited in the manager");
    EXPECT_EQ(Entries(dialog->directoryList()), (QStringList {"Dir [sent]", "Other [not sent]"}));
    EXPECT_EQ(FirstLineOfState(), "Garden");
}

// The byline, summary and tags are edited beside the profile, kept in the
// record under the profile's name, and follow it when it is renamed.
TEST(ProfileExtrasTest, BylineSummaryAndTagsLiveInTheRecord)
{
    TemporaryDirectory folder;
    FixedWallClock clock;
    SubmissionRecord record(clock);
    ASSERT_TRUE(record.Open(folder.FilePath("records.db"), "Quillmark").result);
    ASSERT_TRUE(WriteProfileExtras(record, "Garden", {"Pen Name", "Short.", "a, b"}));
    ProfileStore store;
    store.AddProfile(SampleProfile("Garden"));
    ProfileManagerDialog manager(store);
    manager.setRecord(&record);

    EditorAnswers answers;
    answers.answers.push_back([](ProfileEditorDialog& editor) {
        EXPECT_EQ(Child<QLineEdit>(editor, "byline")->text(), QStringLiteral("Pen Name"));
        EXPECT_EQ(
            Child<QPlainTextEdit>(editor, "summary")->toPlainText(), QStringLiteral("Short."));
        EXPECT_EQ(Child<QLineEdit>(editor, "tags")->text(), QStringLiteral("a, b"));
        Child<QLineEdit>(editor, "name")->setText(QStringLiteral("Herbs"));
        Child<QPlainTextEdit>(editor, "summary")->setPlainText(QStringLiteral("One.\nTwo."));
        return int(QDialog::Accepted);
    });
    Select(manager, 0);
    manager.editProfile();
    ProfileExtras extras;
    ASSERT_TRUE(ReadProfileExtras(record, "Herbs", extras));
    EXPECT_EQ(extras, (ProfileExtras {"Pen Name", "One.\r\nTwo.", "a, b"}));
    ASSERT_TRUE(ReadProfileExtras(record, "Garden", extras));
    EXPECT_EQ(extras, ProfileExtras());

    answers.Type(QStringLiteral("New"));
    manager.addProfile();
    ASSERT_TRUE(ReadProfileExtras(record, "New", extras));
    EXPECT_EQ(extras, ProfileExtras());
    EXPECT_EQ(answers.opened, 2);
}

} // namespace

namespace {

TEST_F(ManageProfilesTest, TheRecordFollowsRenamesAndRemovals)
{
    WriteState({Named("Keep", {"Dir"}), Named("Old", {"Dir"}), Named("Twin"), Named("Twin"),
                   Named("Gone")},
        "Keep");
    auto dialog = Open();
    ASSERT_NE(dialog->record(), nullptr);
    for (const char* profile : {"Keep", "Old", "Twin", "Gone"})
        ASSERT_TRUE(dialog->record()->SetNote(profile, "Dir", std::string("note of ") + profile));
    Manage(*dialog, [this](ProfileManagerDialog& manager) {
        Select(manager, RowOf(manager, QStringLiteral("Old")));
        answers.Type(QStringLiteral("New"));
        manager.editProfile();
        Select(manager, RowOf(manager, QStringLiteral("Gone")));
        manager.removeProfile();
        // One of two profiles called Twin: the other keeps the record.
        Select(manager, RowOf(manager, QStringLiteral("Twin")));
        manager.removeProfile();
    });
    const struct
    {
        const char* profile;
        const char* note; // "" for no entry
    } expected[] = {
        {"Keep", "note of Keep"},
        {"Old", ""},
        {"New", "note of Old"},
        {"Gone", ""},
        {"Twin", "note of Twin"},
    };
    for (const auto& row : expected) {
        std::optional<RecordEntry> entry;
        ASSERT_TRUE(dialog->record()->ReadEntry(row.profile, "Dir", entry));
        EXPECT_EQ(entry ? entry->note : std::string(), row.note) << row.profile;
    }
}

} // namespace
