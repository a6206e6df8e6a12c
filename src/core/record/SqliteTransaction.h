#pragma once

#include "core/common/Result.h"

class SqliteDatabase;

// A write transaction on a SqliteDatabase: it takes the write lock when it
// begins, and what it changed is undone when the object goes without a
// Commit().
class SqliteTransaction
{
public:
    explicit SqliteTransaction(SqliteDatabase& database);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;

    // Whether the transaction began; when not, why.
    const Result& Began() const { return began; }
    Result Commit();

private:
    SqliteDatabase& database;
    Result began;
    bool open = false;
};
