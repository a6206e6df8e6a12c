#include "core/record/RecordSchema.h"
#include "core/record/SqliteDatabase.h"
#include "core/record/SqliteStatement.h"
#include "core/record/SubmissionRecord.h"
#include "support/FixedWallClock.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

RecordTime At(long long seconds)
{
    return RecordTimeFromUnixSeconds(seconds);
}

class RecordStoreTest : public ::testing::Test
{
protected:
    void SetUp() override { OpenRecord(); }

    void OpenRecord()
    {
        const SubmissionRecord::Opening opening = record.Open(path, "Quillmark");
        ASSERT_TRUE(opening.result) << opening.result.Reason();
        ASSERT_FALSE(opening.notice);
    }

    RecordEntry Entry(const std::string& profile, const std::string& directory)
    {
        std::optional<RecordEntry> entry;
        EXPECT_TRUE(record.ReadEntry(profile, directory, entry));
        return entry.value_or(RecordEntry {});
    }

    std::vector<std::string> Keys(const std::vector<RecordEntry>& entries)
    {
        std::vector<std::string> keys;
        for (const RecordEntry& entry : entries)
            keys.push_back(entry.profile + "/" + entry.directory);
        return keys;
    }

    TemporaryDirectory folder;
    std::string path = folder.FilePath(SubmissionRecord::fileName);
    FixedWallClock clock;
    SubmissionRecord record {clock};
};

TEST_F(RecordStoreTest, KeepsASubmissionFromFillToLinkCheckAcrossReopening)
{
    const long long start = UnixSeconds(clock.now);
    ASSERT_TRUE(record.NoteFill("Garden", "Harbor"));
    clock.Advance(60);
    ASSERT_TRUE(record.NoteFill("Garden", "Harbor"));
    clock.Advance(5);
    ASSERT_TRUE(record.NoteSubmit("Garden", "Harbor", "http://127.0.0.1:8731/harbor/submit.html"));
    clock.Advance(2);
    ASSERT_TRUE(record.NoteConfirmation("Garden", "Harbor", "http://127.0.0.1:8731/harbor/submit"));
    ASSERT_TRUE(record.SetState("Garden", "Harbor", SubmissionState::Published));
    ASSERT_TRUE(record.SetPublishedAddress("Garden", "Harbor", "http://127.0.0.1:8731/a.html"));
    ASSERT_TRUE(record.SetNote("Garden", "Harbor", "took a week"));
    ASSERT_TRUE(record.NoteLinkCheck(
        "Garden", "Harbor", {At(start + 99), LinkResult::Nofollow, "seen twice"}));

    RecordEntry expected;
    expected.profile = "Garden";
    expected.directory = "Harbor";
    expected.firstFilled = At(start);
    expected.lastFilled = At(start + 60);
    expected.submitted = At(start + 65);
    expected.formAddress = "http://127.0.0.1:8731/harbor/submit.html";
    expected.confirmed = At(start + 67);
    expected.confirmationAddress = "http://127.0.0.1:8731/harbor/submit";
    expected.state = SubmissionState::Published;
    expected.publishedAddress = "http://127.0.0.1:8731/a.html";
    expected.lastLinkCheck = LinkCheck {At(start + 99), LinkResult::Nofollow, "seen twice"};
    expected.note = "took a week";
    EXPECT_EQ(Entry("Garden", "Harbor"), expected);

    record.Close();
    OpenRecord();
    EXPECT_EQ(Entry("Garden", "Harbor"), expected);
}

TEST_F(RecordStoreTest, ConfirmationAwaitsApprovalUnlessDecidedAlready)
{
    const struct
    {
        SubmissionState before;
        SubmissionState after;
    } cases[] = {
        {SubmissionState::NotSent, SubmissionState::AwaitingApproval},
        {SubmissionState::AwaitingApproval, SubmissionState::AwaitingApproval},
        {SubmissionState::Published, SubmissionState::Published},
        {SubmissionState::Rejected, SubmissionState::Rejected},
    };
    for (const auto& row : cases) {
        const std::string directory = std::string(StateCode(row.before));
        ASSERT_TRUE(record.SetState("P", directory, row.before));
        ASSERT_TRUE(record.NoteConfirmation("P", directory, "http://x.test/ok"));
        EXPECT_EQ(Entry("P", directory).state, row.after) << directory;
    }
}

TEST_F(RecordStoreTest, RenameCarriesAndRemoveDropsEntriesAndFields)
{
    for (const char* profile : {"Old", "Other", "New"}) {
        ASSERT_TRUE(record.NoteFill(profile, "Harbor"));
        ASSERT_TRUE(record.SetProfileField(profile, "byline", std::string("by ") + profile));
    }
    ASSERT_TRUE(record.NoteFill("Old", "Lantern"));
    ASSERT_TRUE(record.SetProfileField("Old", "tags", "herbs, shade"));

    // What the new name held before is replaced by what the old one had.
    ASSERT_TRUE(record.RenameProfile("Old", "New"));
    std::vector<RecordEntry> all;
    ASSERT_TRUE(record.ReadAllEntries(all));
    EXPECT_EQ(Keys(all), (std::vector<std::string> {"New/Harbor", "New/Lantern", "Other/Harbor"}));
    std::map<std::string, std::string> fields;
    ASSERT_TRUE(record.ReadProfileFields("New", fields));
    EXPECT_EQ(fields,
        (std::map<std::string, std::string> {{"byline", "by Old"}, {"tags", "herbs, shade"}}));
    ASSERT_TRUE(record.ReadProfileFields("Old", fields));
    EXPECT_TRUE(fields.empty());

    ASSERT_TRUE(record.RenameProfile("New", "New"));
    ASSERT_TRUE(record.RemoveProfile("New"));
    ASSERT_TRUE(record.ReadAllEntries(all));
    EXPECT_EQ(Keys(all), (std::vector<std::string> {"Other/Harbor"}));
    std::string byline = "unchanged";
    ASSERT_TRUE(record.ReadProfileField("New", "byline", byline));
    EXPECT_EQ(byline, "");
    ASSERT_TRUE(record.ReadProfileField("Other", "byline", byline));
    EXPECT_EQ(byline, "by Other");
}

TEST_F(RecordStoreTest, HostileTextIsStoredAsGiven)
{
    const std::string hostile =
        "'); DROP TABLE submissions; --\r\n\"q\",=cmd|' /C calc'!A0 <script>";
    ASSERT_TRUE(record.SetNote(hostile, hostile, hostile));
    ASSERT_TRUE(record.SetProfileField(hostile, hostile, hostile));
    std::vector<RecordEntry> entries;
    ASSERT_TRUE(record.ReadEntries(hostile, entries));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].directory, hostile);
    EXPECT_EQ(entries[0].note, hostile);
    std::string value;
    ASSERT_TRUE(record.ReadProfileField(hostile, hostile, value));
    EXPECT_EQ(value, hostile);
}

TEST_F(RecordStoreTest, DamagedFilesAreKeptAsideAndANewRecordStarted)
{
    ASSERT_TRUE(record.NoteFill("P", "D"));
    record.Close();
    const std::string whole = TemporaryDirectory::Read(path);
    ASSERT_GT(whole.size(), 1024u);

    const struct
    {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"words", "These are not the bytes of a database at all, only words in a file.\n"},
        {"bad header", std::string("SQLite format 3") + std::string(4096, '\x7f')},
        {"pages overwritten", whole.substr(0, 100) + std::string(whole.size() - 100, '\xa5')},
    };
    int copies = 0;
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        folder.Write(SubmissionRecord::fileName, row.bytes);
        const SubmissionRecord::Opening opening = record.Open(path, "Quillmark");
        ASSERT_TRUE(opening.result) << opening.result.Reason();
        ASSERT_TRUE(opening.notice);
        const std::string copy =
            path + ".damaged" + (copies == 0 ? std::string() : "." + std::to_string(copies));
        ++copies;
        EXPECT_EQ(opening.notice->icon, MessageIcon::Exclamation);
        EXPECT_NE(opening.notice->text.find("It was kept as " + copy + ", and a new, empty record"),
            std::string::npos)
            << opening.notice->text;
        EXPECT_EQ(TemporaryDirectory::Read(copy), row.bytes);
        std::vector<RecordEntry> entries;
        ASSERT_TRUE(record.ReadAllEntries(entries));
        EXPECT_TRUE(entries.empty());
        EXPECT_TRUE(record.NoteFill("P", "D"));
        record.Close();
    }
}

TEST_F(RecordStoreTest, NewerSchemaIsRefusedAndLeftAsItIs)
{
    ASSERT_TRUE(record.NoteFill("P", "D"));
    record.Close();
    {
        SqliteDatabase newer;
        ASSERT_TRUE(newer.Open(path, SqliteDatabase::Mode::ReadWrite));
        ASSERT_TRUE(newer.Execute("PRAGMA user_version = 99"));
    }
    const std::string before = TemporaryDirectory::Read(path);

    const SubmissionRecord::Opening opening = record.Open(path, "Quillmark");
    EXPECT_FALSE(opening.result);
    ASSERT_TRUE(opening.notice);
    EXPECT_EQ(opening.notice->icon, MessageIcon::Error);
    EXPECT_NE(opening.notice->text.find("was written by a newer version of Quillmark"),
        std::string::npos);
    EXPECT_NE(opening.notice->text.find("schema version 99"), std::string::npos);
    EXPECT_FALSE(record.IsOpen());
    EXPECT_FALSE(record.NoteFill("P", "D"));
    // Its log may have been opened to read it; nothing was written there.
    EXPECT_EQ(TemporaryDirectory::Read(path), before);
    EXPECT_EQ(TemporaryDirectory::Read(path + "-wal"), "");
    EXPECT_FALSE(std::filesystem::exists(path + ".damaged"));
}

TEST_F(RecordStoreTest, OlderSchemaIsMigratedKeepingItsEntries)
{
    record.Close();
    std::filesystem::remove(path);
    {
        SqliteDatabase older;
        ASSERT_TRUE(older.Open(path, SqliteDatabase::Mode::ReadWrite));
        ASSERT_TRUE(Migrate(older, {RecordMigrations().front()}));
        SqliteStatement insert(older,
            "INSERT INTO submissions (profile, directory, state) VALUES ('P', 'D', 'rejected')");
        ASSERT_TRUE(insert.Run());
    }
    OpenRecord();
    EXPECT_EQ(Entry("P", "D").state, SubmissionState::Rejected);
    ASSERT_TRUE(record.SetProfileField("P", "summary", "short"));
    record.Close();

    SqliteDatabase migrated;
    ASSERT_TRUE(migrated.Open(path, SqliteDatabase::Mode::ReadOnly));
    int version = 0;
    ASSERT_TRUE(ReadSchemaVersion(migrated, version));
    EXPECT_EQ(version, RecordSchemaVersion());
}

TEST_F(RecordStoreTest, FailedMigrationStepLeavesTheVersionBeforeIt)
{
    SqliteDatabase database;
    ASSERT_TRUE(database.Open(folder.FilePath("steps.db"), SqliteDatabase::Mode::ReadWrite));
    const std::vector<MigrationStep> steps = {
        {{"CREATE TABLE one (a TEXT)"}},
        {{"CREATE TABLE two (b TEXT)", "CREATE TABLE one (again TEXT)"}},
    };
    EXPECT_FALSE(Migrate(database, steps));
    int version = -1;
    ASSERT_TRUE(ReadSchemaVersion(database, version));
    EXPECT_EQ(version, 1);
    SqliteStatement two(database, "SELECT count(*) FROM sqlite_master WHERE name = 'two'");
    ASSERT_TRUE(two.Next());
    EXPECT_EQ(two.Integer(0), 0);
}

} // namespace
