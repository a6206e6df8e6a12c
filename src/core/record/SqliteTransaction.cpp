#include "core/record/SqliteTransaction.h"

#include "core/record/SqliteDatabase.h"

SqliteTransaction::SqliteTransaction(SqliteDatabase& database)
    : database(database)
    , began(database.Execute("BEGIN IMMEDIATE"))
    , open(bool(began))
{
}

SqliteTransaction::~SqliteTransaction()
{
    if (open)
        database.Execute("ROLLBACK");
}

Result SqliteTransaction::Commit()
{
    if (!open)
        return began ? Result::Failure("the transaction has ended") : began;
    Result committed = database.Execute("COMMIT");
    if (committed)
        open = false;
    return committed;
}
