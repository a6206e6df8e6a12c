#pragma once

#include "core/common/Result.h"

#include <string>

struct sqlite3;

// An open SQLite database file, closed when the object goes. Statements
// (SqliteStatement) and transactions (SqliteTransaction) work on it; this
// class only opens, closes and runs fixed SQL without parameters. Use it
// from one thread at a time.
class SqliteDatabase
{
public:
    enum class Mode
    {
        ReadOnly, // the file must exist; nothing is ever written to it
        ReadWrite, // the file is created when missing
    };

    SqliteDatabase() = default;
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    // Opens the database at `path`, closing any other first. Waits up to
    // `busyTimeoutMs` for a lock another connection holds.
    Result Open(const std::string& path, Mode mode, int busyTimeoutMs = 5000);
    void Close();
    bool IsOpen() const { return handle != nullptr; }

    // Runs `sql`, one or more statements that take no parameters and whose
    // rows, if any, are not wanted. Text from outside never goes in here.
    Result Execute(const char* sql);

    // A failure for `what`, with SQLite's own words for the last error.
    Result Failure(const std::string& what) const;
    // SQLite's primary result code of the last failed call.
    int LastErrorCode() const;
    // Whether `code` says the file is not a database or is damaged.
    static bool IsDamage(int code);

    sqlite3* Handle() const { return handle; }

private:
    sqlite3* handle = nullptr;
};
