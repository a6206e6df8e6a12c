#pragma once

#include "core/common/Result.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class SqliteDatabase;
struct sqlite3_stmt;

// One prepared statement of a SqliteDatabase, finalized when the object
// goes. Values reach the statement only through its parameters (Bind), never
// as part of its text. Parameters count from 1, result columns from 0, as in
// SQLite.
class SqliteStatement
{
public:
    SqliteStatement(SqliteDatabase& database, const char* sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    SqliteStatement& Bind(int index, std::string_view text);
    SqliteStatement& Bind(int index, std::int64_t value);
    // Binds NULL for an empty optional.
    SqliteStatement& Bind(int index, std::optional<std::int64_t> value);

    // Steps to the next row: true while there is one. False at the end and
    // on failure; Status() tells them apart.
    bool Next();
    // Runs the statement to its end, for statements without result rows.
    Result Run();
    // The failure that stopped the statement, if any.
    const Result& Status() const { return status; }

    std::string Text(int column) const;
    std::int64_t Integer(int column) const;
    std::optional<std::int64_t> OptionalInteger(int column) const;

private:
    void Fail(const std::string& what);

    SqliteDatabase& database;
    sqlite3_stmt* statement = nullptr;
    Result status;
};
