#pragma once

#include "core/record/SqliteDatabase.h"
#include "core/record/SqliteStatement.h"
#include "core/record/SqliteTransaction.h"
#include "core/record/SubmissionRecord.h"
#include "core/record/WallClock.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Makes the record at `path` and fills it with one published entry for each
// of `profiles` and each of `directories` directories, named by
// `directoryName`, all in one transaction: one each would take the setup
// minutes. False when the record did not open.
inline bool WriteRecordRows(const std::string& path, const std::vector<std::string>& profiles,
    int directories, const std::function<std::string(int)>& directoryName)
{
    const SystemWallClock clock;
    SubmissionRecord record(clock);
    if (!record.Open(path, "Quillmark").result)
        return false;
    record.Close();
    SqliteDatabase database;
    database.Open(path, SqliteDatabase::Mode::ReadWrite);
    SqliteTransaction transaction(database);
    for (const std::string& profile : profiles) {
        for (int directory = 0; directory < directories; ++directory) {
            SqliteStatement insert(database,
                "INSERT INTO submissions (profile, directory, first_filled, last_filled,"
                " submitted, form_address, confirmed, confirmation_address, state,"
                " published_address, link_checked, link_result, note)"
                " VALUES (?1, ?2, ?3, ?3, ?3, ?4, ?3, ?4, 'published', ?4, ?3, 'followed', ?5)");
            insert.Bind(1, profile)
                .Bind(2, directoryName(directory))
                .Bind(3, std::int64_t(1765000000 + directory))
                .Bind(4, "http://dir" + std::to_string(directory) + ".test/submit.php?cat=12")
                .Bind(5, std::string(80, 'n'));
            insert.Run();
        }
    }
    transaction.Commit();
    return true;
}
