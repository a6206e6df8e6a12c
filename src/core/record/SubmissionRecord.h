#pragma once

#include "core/common/MessageSink.h"
#include "core/common/Result.h"
#include "core/record/RecordEntry.h"
#include "core/record/SqliteDatabase.h"
#include "core/record/WallClock.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

// The submission record: for each profile and directory, when the page was
// filled, the form sent and the confirmation seen, where the submission
// stands and what the last link check found; and the profile fields kept
// beyond sv.dat. It lives in one SQLite file in the data folder,
// "records.db", in WAL mode, and every change is one transaction: a change
// that returned success survives a crash of the program. sv.dat stays the
// authority on sent marks (SubmissionStatus.h).
//
// Changes take effect for a profile and directory whether or not the record
// had an entry for them; one is made as needed. Use an object from one
// thread at a time.
class SubmissionRecord
{
public:
    // What opening the record found.
    struct Opening
    {
        // A failure leaves the record closed: every call fails until an
        // Open succeeds.
        Result result;
        // For the user, once: a damaged file was kept aside and a new one
        // started, or why the record could not be opened.
        std::optional<Message> notice;
    };

    // The file's name in the data folder.
    static const char* const fileName;

    explicit SubmissionRecord(const WallClock& clock);
    SubmissionRecord(const SubmissionRecord&) = delete;
    SubmissionRecord& operator=(const SubmissionRecord&) = delete;

    // Opens the record at `path`, creating it when missing and bringing an
    // older file up to this program's schema. A file of a newer schema is
    // refused and never written to. A file that is not a database or fails
    // its integrity check is renamed aside, as "<path>.damaged" or the first
    // free "<path>.damaged.N" (its write-ahead log beside it, with "-wal"
    // added), and a new record is started; the notice, captioned `caption`,
    // says so.
    Opening Open(const std::string& path, const std::string& caption);
    void Close();
    bool IsOpen() const { return database.IsOpen(); }

    // The page was filled now: the first fill time is kept, the last one set.
    Result NoteFill(const std::string& profile, const std::string& directory);
    // The form was sent now, from the page at `formAddress`.
    Result NoteSubmit(
        const std::string& profile, const std::string& directory, const std::string& formAddress);
    // The confirmation was seen now on the page at `pageAddress`. The state
    // becomes AwaitingApproval unless it is Published or Rejected already.
    Result NoteConfirmation(
        const std::string& profile, const std::string& directory, const std::string& pageAddress);
    Result SetState(
        const std::string& profile, const std::string& directory, SubmissionState state);
    Result SetPublishedAddress(
        const std::string& profile, const std::string& directory, const std::string& address);
    Result SetNote(
        const std::string& profile, const std::string& directory, const std::string& note);
    Result NoteLinkCheck(
        const std::string& profile, const std::string& directory, const LinkCheck& check);

    // Moves everything of profile `from`, entries and fields, to profile
    // `to`; what `to` had before is replaced.
    Result RenameProfile(const std::string& from, const std::string& to);
    // Forgets everything of the profile.
    Result RemoveProfile(const std::string& profile);

    // The entry of one profile and directory; nothing when there is none.
    Result ReadEntry(const std::string& profile, const std::string& directory,
        std::optional<RecordEntry>& entry) const;
    // A profile's entries, by directory name.
    Result ReadEntries(const std::string& profile, std::vector<RecordEntry>& entries) const;
    // Every entry, by profile and directory name.
    Result ReadAllEntries(std::vector<RecordEntry>& entries) const;

    // A profile field beyond sv.dat; "" for one never set.
    Result ReadProfileField(
        const std::string& profile, const std::string& name, std::string& value) const;
    Result ReadProfileFields(
        const std::string& profile, std::map<std::string, std::string>& fields) const;
    Result SetProfileField(
        const std::string& profile, const std::string& name, const std::string& value);

private:
    // Runs one statement with the profile and directory as parameters 1 and
    // 2 and `bind` adding the rest, in a transaction, after making sure the
    // entry exists.
    template<typename Bind>
    Result ChangeEntry(
        const std::string& profile, const std::string& directory, const char* sql, Bind bind);
    Result ReadRows(const char* sql, const std::vector<std::string>& keys,
        std::vector<RecordEntry>& entries) const;

    const WallClock& clock;
    mutable SqliteDatabase database;
};

// What the user is told when a change could not be written to the record.
Message RecordWriteFailureMessage(const Result& failure, const std::string& caption);
