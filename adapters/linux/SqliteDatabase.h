#pragma once

#include "FenkSDK/runtime/Data.h"

#include <filesystem>
#include <memory>
#include <string>
#include <variant>

struct sqlite3;
struct sqlite3_stmt;

namespace fenk {

// What the settings database file's users share: handles that close themselves, and one way of opening the
// file, so that every connection to it runs with the same journal, durability and waiting rules.

struct CloseSqliteConnection {
    void operator()(sqlite3* connection) const;
};
struct FinalizeSqliteStatement {
    void operator()(sqlite3_stmt* statement) const;
};
using SqliteConnectionHandle = std::unique_ptr<sqlite3, CloseSqliteConnection>;
using SqliteStatementHandle = std::unique_ptr<sqlite3_stmt, FinalizeSqliteStatement>;

struct SqliteFailure {
    int code;
    std::string message;
};

// Opens the file read-write, creating it and its folders readable by the user only, in write-ahead-log mode
// with synchronous=NORMAL (a commit survives the process being killed), waiting for a while on a lock another
// connection holds rather than failing at once.
std::variant<SqliteConnectionHandle, SqliteFailure> openSqliteDatabase(const std::filesystem::path& path);

// Runs one statement to completion: SQLITE_OK or the failing code, and the first column of its first row.
int runSql(sqlite3* connection, const char* sql, std::string& firstColumn);

// Prepares a statement kept for the life of the connection: SQLITE_OK or the failing code.
int prepareSql(sqlite3* connection, const char* sql, SqliteStatementHandle& statement);

// Binds the bytes as a blob without copying them: keep them alive until the statement is reset. An empty
// buffer binds an empty blob, not SQL NULL.
int bindData(sqlite3_stmt* statement, int index, const Data& bytes);

// Leaves a reused statement reset and unbound, so no bound buffer outlives the call that bound it.
class StatementUse {
public:
    explicit StatementUse(sqlite3_stmt* statement) : statement_(statement) {}
    ~StatementUse();
    StatementUse(const StatementUse&) = delete;
    StatementUse& operator=(const StatementUse&) = delete;

private:
    sqlite3_stmt* statement_;
};

}  // namespace fenk
