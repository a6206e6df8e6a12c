#include "core/record/RecordSchema.h"

#include "core/record/SqliteDatabase.h"
#include "core/record/SqliteStatement.h"
#include "core/record/SqliteTransaction.h"

#include <string>

const std::vector<MigrationStep>& RecordMigrations()
{
    static const std::vector<MigrationStep> steps = {
        // 1: one row per profile and directory. Times are unix seconds, NULL
        // while unknown; state and link result are the words of
        // RecordEntry.h.
        {{"CREATE TABLE submissions ("
          " profile TEXT NOT NULL,"
          " directory TEXT NOT NULL,"
          " first_filled INTEGER,"
          " last_filled INTEGER,"
          " submitted INTEGER,"
          " form_address TEXT NOT NULL DEFAULT '',"
          " confirmed INTEGER,"
          " confirmation_address TEXT NOT NULL DEFAULT '',"
          " state TEXT NOT NULL DEFAULT 'not-sent',"
          " published_address TEXT NOT NULL DEFAULT '',"
          " link_checked INTEGER,"
          " link_result TEXT NOT NULL DEFAULT '',"
          " link_detail TEXT NOT NULL DEFAULT '',"
          " note TEXT NOT NULL DEFAULT '',"
          " PRIMARY KEY (profile, directory)"
          ") WITHOUT ROWID"}},
        // 2: what a profile holds beyond sv.dat, one value per name.
        {{"CREATE TABLE profile_fields ("
          " profile TEXT NOT NULL,"
          " name TEXT NOT NULL,"
          " value TEXT NOT NULL,"
          " PRIMARY KEY (profile, name)"
          ") WITHOUT ROWID"}},
    };
    return steps;
}

int RecordSchemaVersion()
{
    return static_cast<int>(RecordMigrations().size());
}

Result ReadSchemaVersion(SqliteDatabase& database, int& version)
{
    SqliteStatement query(database, "PRAGMA user_version");
    if (!query.Next())
        return query.Status() ? Result::Failure("the file has no schema version") : query.Status();
    version = static_cast<int>(query.Integer(0));
    return {};
}

Result Migrate(SqliteDatabase& database, const std::vector<MigrationStep>& steps)
{
    const int target = static_cast<int>(steps.size());
    for (;;) {
        SqliteTransaction transaction(database);
        if (!transaction.Began())
            return transaction.Began();
        // Read inside the transaction: another program may have migrated
        // the file meanwhile.
        int version = 0;
        if (Result read = ReadSchemaVersion(database, version); !read)
            return read;
        if (version > target)
            return Result::Failure("the file has schema version " + std::to_string(version) +
                "; this version of Quillmark knows versions up to " + std::to_string(target));
        if (version == target)
            return {};
        for (const char* statement : steps[static_cast<std::size_t>(version)].statements) {
            if (Result done = database.Execute(statement); !done)
                return done;
        }
        // The version is a number of ours, never text from outside.
        const std::string setVersion = "PRAGMA user_version = " + std::to_string(version + 1);
        if (Result done = database.Execute(setVersion.c_str()); !done)
            return done;
        if (Result committed = transaction.Commit(); !committed)
            return committed;
    }
}
