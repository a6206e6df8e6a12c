#include "core/record/SubmissionRecord.h"

#include "core/record/RecordSchema.h"
#include "core/record/SqliteStatement.h"
#include "core/record/SqliteTransaction.h"

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Kept copies of damaged files are numbered up to this, as for sv.dat.
constexpr int largestCopyNumber = 999;

const char* const entryColumns =
    "SELECT profile, directory, first_filled, last_filled, submitted, form_address, confirmed,"
    " confirmation_address, state, published_address, link_checked, link_result, link_detail,"
    " note FROM submissions ";

bool Exists(const std::string& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

std::optional<RecordTime> OptionalTime(const SqliteStatement& row, int column)
{
    if (const auto seconds = row.OptionalInteger(column))
        return RecordTimeFromUnixSeconds(*seconds);
    return std::nullopt;
}

RecordEntry EntryOfRow(const SqliteStatement& row)
{
    RecordEntry entry;
    entry.profile = row.Text(0);
    entry.directory = row.Text(1);
    entry.firstFilled = OptionalTime(row, 2);
    entry.lastFilled = OptionalTime(row, 3);
    entry.submitted = OptionalTime(row, 4);
    entry.formAddress = row.Text(5);
    entry.confirmed = OptionalTime(row, 6);
    entry.confirmationAddress = row.Text(7);
    entry.state = StateFromCode(row.Text(8)).value_or(SubmissionState::NotSent);
    entry.publishedAddress = row.Text(9);
    const auto checked = OptionalTime(row, 10);
    const auto result = LinkResultFromCode(row.Text(11));
    if (checked && result)
        entry.lastLinkCheck = LinkCheck {*checked, *result, row.Text(12)};
    entry.note = row.Text(13);
    return entry;
}

// What a look at an existing file, without writing to it, found.
struct FileCheck
{
    enum class Verdict
    {
        Usable, // a database of `version`, whole as far as SQLite can tell
        Damaged, // `problem` says how
        Failed, // could not be looked at; `problem` says why
    };

    Verdict verdict = Verdict::Usable;
    int version = 0;
    Result problem;
};

FileCheck CheckFile(const std::string& path)
{
    FileCheck check;
    SqliteDatabase file;
    const auto damagedOr = [&](const Result& failure) {
        check.verdict = SqliteDatabase::IsDamage(file.LastErrorCode()) ? FileCheck::Verdict::Damaged
                                                                       : FileCheck::Verdict::Failed;
        check.problem = failure;
        return check;
    };
    if (Result opened = file.Open(path, SqliteDatabase::Mode::ReadOnly); !opened)
        return damagedOr(opened);
    if (Result read = ReadSchemaVersion(file, check.version); !read)
        return damagedOr(read);
    // A newer file is refused whole; it is not ours to judge.
    if (check.version > RecordSchemaVersion())
        return check;
    SqliteStatement integrity(file, "PRAGMA quick_check");
    if (!integrity.Next())
        return damagedOr(integrity.Status());
    const std::string verdict = integrity.Text(0);
    if (verdict != "ok") {
        check.verdict = FileCheck::Verdict::Damaged;
        check.problem = Result::Failure("its integrity check failed: " + verdict);
    }
    return check;
}

// Renames the file at `path` to the first free "<path>.damaged[.N]", with its
// write-ahead log beside the new name so that the copy opens as it stood.
Result MoveAside(const std::string& path, std::string& copyPath)
{
    const std::string base = path + ".damaged";
    for (int number = 0; number <= largestCopyNumber; ++number) {
        const std::string copy = number == 0 ? base : base + "." + std::to_string(number);
        // link() never replaces an existing file: an earlier copy stays.
        if (::link(path.c_str(), copy.c_str()) != 0) {
            if (errno == EEXIST)
                continue;
            return Result::SystemFailure("cannot keep " + path + " as " + copy, errno);
        }
        if (::unlink(path.c_str()) != 0) {
            const Result failure = Result::SystemFailure("cannot remove " + path, errno);
            ::unlink(copy.c_str());
            return failure;
        }
        std::rename((path + "-wal").c_str(), (copy + "-wal").c_str());
        ::unlink((path + "-shm").c_str());
        copyPath = copy;
        return {};
    }
    return Result::Failure("every name from " + base + " to " + base + "." +
        std::to_string(largestCopyNumber) + " is taken");
}

} // namespace

const char* const SubmissionRecord::fileName = "records.db";

SubmissionRecord::SubmissionRecord(const WallClock& clock)
    : clock(clock)
{
}

SubmissionRecord::Opening SubmissionRecord::Open(
    const std::string& path, const std::string& caption)
{
    Close();
    Opening opening;
    const auto refuse = [&](const Result& failure, const std::string& text) {
        Close();
        opening.result = failure;
        opening.notice = Message {text + "\n\n" + failure.Reason(), caption, MessageIcon::Error};
        return opening;
    };
    const std::string unavailable = "The submission record " + path +
        " could not be opened; dates and states of your submissions are not kept.";

    for (int attempt = 0; attempt < 2; ++attempt) {
        FileCheck check;
        if (Exists(path))
            check = CheckFile(path);
        if (check.verdict == FileCheck::Verdict::Failed)
            return refuse(check.problem, unavailable);
        if (check.verdict == FileCheck::Verdict::Usable && check.version > RecordSchemaVersion())
            return refuse(Result::Failure("It has schema version " + std::to_string(check.version) +
                              "; this version knows versions up to " +
                              std::to_string(RecordSchemaVersion()) + "."),
                "The submission record " + path +
                    " was written by a newer version of Quillmark. It was left as it is; "
                    "dates and states of your submissions are not kept until you use that "
                    "version again.");

        // A file that looked whole may still fail once written to; it is
        // then damaged all the same, and a second look moves it aside.
        Result ready;
        if (check.verdict == FileCheck::Verdict::Usable) {
            ready = database.Open(path, SqliteDatabase::Mode::ReadWrite);
            if (ready)
                ready = database.Execute("PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL");
            if (ready)
                ready = Migrate(database, RecordMigrations());
            if (ready)
                return opening;
            const bool damaged = SqliteDatabase::IsDamage(database.LastErrorCode());
            Close();
            if (!damaged || attempt > 0)
                return refuse(ready, unavailable);
            check.problem = ready;
        }

        std::string copy;
        if (Result moved = MoveAside(path, copy); !moved)
            return refuse(moved, unavailable);
        opening.notice =
            Message {"The submission record " + path + " was damaged (" + check.problem.Reason() +
                    "). It was kept as " + copy + ", and a new, empty record was started.",
                caption, MessageIcon::Exclamation};
    }
    return refuse(Result::Failure("the file stays damaged after it was replaced"), unavailable);
}

void SubmissionRecord::Close()
{
    database.Close();
}

template<typename Bind>
Result SubmissionRecord::ChangeEntry(
    const std::string& profile, const std::string& directory, const char* sql, Bind bind)
{
    SqliteTransaction transaction(database);
    if (!transaction.Began())
        return transaction.Began();
    SqliteStatement create(
        database, "INSERT OR IGNORE INTO submissions (profile, directory) VALUES (?1, ?2)");
    if (Result created = create.Bind(1, profile).Bind(2, directory).Run(); !created)
        return created;
    SqliteStatement change(database, sql);
    change.Bind(1, profile).Bind(2, directory);
    bind(change);
    if (Result changed = change.Run(); !changed)
        return changed;
    return transaction.Commit();
}

Result SubmissionRecord::NoteFill(const std::string& profile, const std::string& directory)
{
    return ChangeEntry(profile, directory,
        "UPDATE submissions SET first_filled = coalesce(first_filled, ?3), last_filled = ?3"
        " WHERE profile = ?1 AND directory = ?2",
        [now = UnixSeconds(clock.Now())](SqliteStatement& change) { change.Bind(3, now); });
}

Result SubmissionRecord::NoteSubmit(
    const std::string& profile, const std::string& directory, const std::string& formAddress)
{
    return ChangeEntry(profile, directory,
        "UPDATE submissions SET submitted = ?3, form_address = ?4"
        " WHERE profile = ?1 AND directory = ?2",
        [&, now = UnixSeconds(clock.Now())](
            SqliteStatement& change) { change.Bind(3, now).Bind(4, formAddress); });
}

Result SubmissionRecord::NoteConfirmation(
    const std::string& profile, const std::string& directory, const std::string& pageAddress)
{
    return ChangeEntry(profile, directory,
        "UPDATE submissions SET confirmed = ?3, confirmation_address = ?4,"
        " state = CASE WHEN state IN (?6, ?7) THEN state ELSE ?5 END"
        " WHERE profile = ?1 AND directory = ?2",
        [&, now = UnixSeconds(clock.Now())](SqliteStatement& change) {
            change.Bind(3, now)
                .Bind(4, pageAddress)
                .Bind(5, StateCode(SubmissionState::AwaitingApproval))
                .Bind(6, StateCode(SubmissionState::Published))
                .Bind(7, StateCode(SubmissionState::Rejected));
        });
}

Result SubmissionRecord::SetState(
    const std::string& profile, const std::string& directory, SubmissionState state)
{
    return ChangeEntry(profile, directory,
        "UPDATE submissions SET state = ?3 WHERE profile = ?1 AND directory = ?2",
        [&](SqliteStatement& change) { change.Bind(3, StateCode(state)); });
}

Result SubmissionRecord::SetPublishedAddress(
    const std::string& profile, const std::string& directory, const std::string& address)
{
    return ChangeEntry(profile, directory,
        "UPDATE submissions SET published_address = ?3 WHERE profile = ?1 AND directory = ?2",
        [&](SqliteStatement& change) { change.Bind(3, address); });
}

Result SubmissionRecord::SetNote(
    const std::string& profile, const std::string& directory, const std::string& note)
{
    return ChangeEntry(profile, directory,
        "UPDATE submissions SET note = ?3 WHERE profile = ?1 AND directory = ?2",
        [&](SqliteStatement& change) { change.Bind(3, note); });
}

Result SubmissionRecord::NoteLinkCheck(
    const std::string& profile, const std::string& directory, const LinkCheck& check)
{
    return ChangeEntry(profile, directory,
        "UPDATE submissions SET link_checked = ?3, link_result = ?4, link_detail = ?5"
        " WHERE profile = ?1 AND directory = ?2",
        [&](SqliteStatement& change) {
            change.Bind(3, UnixSeconds(check.time))
                .Bind(4, LinkResultCode(check.result))
                .Bind(5, check.detail);
        });
}

Result SubmissionRecord::RenameProfile(const std::string& from, const std::string& to)
{
    if (from == to)
        return database.IsOpen() ? Result() : Result::Failure("the record is not open");
    SqliteTransaction transaction(database);
    if (!transaction.Began())
        return transaction.Began();
    for (const char* sql : {"DELETE FROM submissions WHERE profile = ?2",
             "UPDATE submissions SET profile = ?2 WHERE profile = ?1",
             "DELETE FROM profile_fields WHERE profile = ?2",
             "UPDATE profile_fields SET profile = ?2 WHERE profile = ?1"}) {
        SqliteStatement change(database, sql);
        if (Result done = change.Bind(1, from).Bind(2, to).Run(); !done)
            return done;
    }
    return transaction.Commit();
}

Result SubmissionRecord::RemoveProfile(const std::string& profile)
{
    SqliteTransaction transaction(database);
    if (!transaction.Began())
        return transaction.Began();
    for (const char* sql : {"DELETE FROM submissions WHERE profile = ?1",
             "DELETE FROM profile_fields WHERE profile = ?1"}) {
        SqliteStatement change(database, sql);
        if (Result done = change.Bind(1, profile).Run(); !done)
            return done;
    }
    return transaction.Commit();
}

Result SubmissionRecord::ReadRows(
    const char* sql, const std::vector<std::string>& keys, std::vector<RecordEntry>& entries) const
{
    SqliteStatement query(database, (std::string(entryColumns) + sql).c_str());
    for (std::size_t key = 0; key < keys.size(); ++key)
        query.Bind(static_cast<int>(key + 1), keys[key]);
    std::vector<RecordEntry> rows;
    while (query.Next())
        rows.push_back(EntryOfRow(query));
    if (query.Status())
        entries = std::move(rows);
    return query.Status();
}

Result SubmissionRecord::ReadEntry(const std::string& profile, const std::string& directory,
    std::optional<RecordEntry>& entry) const
{
    std::vector<RecordEntry> rows;
    Result read = ReadRows("WHERE profile = ?1 AND directory = ?2", {profile, directory}, rows);
    if (read)
        entry = rows.empty() ? std::nullopt : std::optional<RecordEntry>(std::move(rows.front()));
    return read;
}

Result SubmissionRecord::ReadEntries(
    const std::string& profile, std::vector<RecordEntry>& entries) const
{
    return ReadRows("WHERE profile = ?1 ORDER BY directory", {profile}, entries);
}

Result SubmissionRecord::ReadAllEntries(std::vector<RecordEntry>& entries) const
{
    return ReadRows("ORDER BY profile, directory", {}, entries);
}

Result SubmissionRecord::ReadProfileField(
    const std::string& profile, const std::string& name, std::string& value) const
{
    SqliteStatement query(
        database, "SELECT value FROM profile_fields WHERE profile = ?1 AND name = ?2");
    query.Bind(1, profile).Bind(2, name);
    const bool found = query.Next();
    if (query.Status())
        value = found ? query.Text(0) : std::string();
    return query.Status();
}

Result SubmissionRecord::ReadProfileFields(
    const std::string& profile, std::map<std::string, std::string>& fields) const
{
    SqliteStatement query(database, "SELECT name, value FROM profile_fields WHERE profile = ?1");
    query.Bind(1, profile);
    std::map<std::string, std::string> found;
    while (query.Next())
        found[query.Text(0)] = query.Text(1);
    if (query.Status())
        fields = std::move(found);
    return query.Status();
}

Result SubmissionRecord::SetProfileField(
    const std::string& profile, const std::string& name, const std::string& value)
{
    SqliteTransaction transaction(database);
    if (!transaction.Began())
        return transaction.Began();
    SqliteStatement change(database,
        "INSERT INTO profile_fields (profile, name, value) VALUES (?1, ?2, ?3)"
        " ON CONFLICT (profile, name) DO UPDATE SET value = excluded.value");
    if (Result done = change.Bind(1, profile).Bind(2, name).Bind(3, value).Run(); !done)
        return done;
    return transaction.Commit();
}

Message RecordWriteFailureMessage(const Result& failure, const std::string& caption)
{
    return {"The submission record could not be written: " + failure.Reason(), caption,
        MessageIcon::Error};
}
