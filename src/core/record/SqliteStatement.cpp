#include "core/record/SqliteStatement.h"

#include "core/record/SqliteDatabase.h"

#include <sqlite3.h>

SqliteStatement::SqliteStatement(SqliteDatabase& database, const char* sql)
    : database(database)
{
    if (!database.IsOpen()) {
        status = Result::Failure("the database is not open");
        return;
    }
    if (sqlite3_prepare_v2(database.Handle(), sql, -1, &statement, nullptr) != SQLITE_OK)
        Fail("cannot prepare a query");
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(statement);
}

void SqliteStatement::Fail(const std::string& what)
{
    if (status)
        status = database.Failure(what);
}

SqliteStatement& SqliteStatement::Bind(int index, std::string_view text)
{
    // SQLITE_TRANSIENT: SQLite copies the text, so `text` need not outlive
    // the call.
    if (statement &&
        sqlite3_bind_text64(
            statement, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8) != SQLITE_OK)
        Fail("cannot bind a value");
    return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, std::int64_t value)
{
    if (statement && sqlite3_bind_int64(statement, index, value) != SQLITE_OK)
        Fail("cannot bind a value");
    return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, std::optional<std::int64_t> value)
{
    if (value)
        return Bind(index, *value);
    if (statement && sqlite3_bind_null(statement, index) != SQLITE_OK)
        Fail("cannot bind a value");
    return *this;
}

bool SqliteStatement::Next()
{
    if (!statement || !status)
        return false;
    const int code = sqlite3_step(statement);
    if (code == SQLITE_ROW)
        return true;
    if (code != SQLITE_DONE)
        Fail("cannot run a query");
    return false;
}

Result SqliteStatement::Run()
{
    while (Next()) { }
    return status;
}

std::string SqliteStatement::Text(int column) const
{
    const auto* text = sqlite3_column_text(statement, column);
    if (!text)
        return {};
    return std::string(reinterpret_cast<const char*>(text),
        static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
}

std::int64_t SqliteStatement::Integer(int column) const
{
    return sqlite3_column_int64(statement, column);
}

std::optional<std::int64_t> SqliteStatement::OptionalInteger(int column) const
{
    if (sqlite3_column_type(statement, column) == SQLITE_NULL)
        return std::nullopt;
    return Integer(column);
}
