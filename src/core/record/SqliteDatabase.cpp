#include "core/record/SqliteDatabase.h"

#include <sqlite3.h>

SqliteDatabase::~SqliteDatabase()
{
    Close();
}

Result SqliteDatabase::Open(const std::string& path, Mode mode, int busyTimeoutMs)
{
    Close();
    const int flags =
        mode == Mode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    const int code = sqlite3_open_v2(path.c_str(), &handle, flags, nullptr);
    if (code != SQLITE_OK) {
        // Even a failed open may hand out a handle, which carries the words.
        const Result failure = handle
            ? Failure("cannot open " + path)
            : Result::Failure("cannot open " + path + ": " + sqlite3_errstr(code));
        Close();
        return failure;
    }
    sqlite3_extended_result_codes(handle, 0);
    sqlite3_busy_timeout(handle, busyTimeoutMs);
    return {};
}

void SqliteDatabase::Close()
{
    if (!handle)
        return;
    // Every statement is finalized by its owner before this; close_v2 keeps
    // the connection alive for a straggler rather than leak or crash.
    sqlite3_close_v2(handle);
    handle = nullptr;
}

Result SqliteDatabase::Execute(const char* sql)
{
    if (!handle)
        return Result::Failure("the database is not open");
    if (sqlite3_exec(handle, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        return Failure("cannot change the database");
    return {};
}

Result SqliteDatabase::Failure(const std::string& what) const
{
    if (!handle)
        return Result::Failure(what + ": the database is not open");
    return Result::Failure(what + ": " + sqlite3_errmsg(handle));
}

int SqliteDatabase::LastErrorCode() const
{
    return handle ? (sqlite3_errcode(handle) & 0xff) : SQLITE_MISUSE;
}

bool SqliteDatabase::IsDamage(int code)
{
    return code == SQLITE_NOTADB || code == SQLITE_CORRUPT;
}
