#pragma once

#include "core/common/Result.h"

#include <vector>

class SqliteDatabase;

// One step of the record's schema: the statements that bring a file from
// the version before it to the next. Step n (from 0) makes version n + 1.
struct MigrationStep
{
    std::vector<const char*> statements;
};

// Every step from an empty file to the schema this program writes, oldest
// first. Steps are only ever appended: a released step never changes.
const std::vector<MigrationStep>& RecordMigrations();
// The schema version this program writes: the number of steps.
int RecordSchemaVersion();

// The file's schema version (PRAGMA user_version): 0 for a new file.
Result ReadSchemaVersion(SqliteDatabase& database, int& version);

// Brings `database` up to the version of the last of `steps`, one step at a
// time, each with its new version number in a transaction of its own: a
// failed step leaves the file at the version before it. A file at a later
// version than the steps know is refused and left alone.
Result Migrate(SqliteDatabase& database, const std::vector<MigrationStep>& steps);
