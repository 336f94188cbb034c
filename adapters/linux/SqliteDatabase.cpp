#include "adapters/linux/SqliteDatabase.h"

#include "adapters/linux/DataFolder.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fenk {
namespace {

constexpr int kBusyTimeoutMilliseconds = 5000;

// Creates the file user-only before SQLite does; SQLite gives its WAL and shared-memory files the same mode.
bool createPrivateFile(const std::filesystem::path& path, std::string& error) {
    const int descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (descriptor < 0) {
        error = std::strerror(errno);
        return false;
    }
    const bool privateMode = ::fchmod(descriptor, 0600) == 0;
    if (!privateMode) {
        error = std::strerror(errno);
    }
    ::close(descriptor);
    return privateMode;
}

}  // namespace

void CloseSqliteConnection::operator()(sqlite3* connection) const { sqlite3_close_v2(connection); }

void FinalizeSqliteStatement::operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }

StatementUse::~StatementUse() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

std::variant<SqliteConnectionHandle, SqliteFailure> openSqliteDatabase(const std::filesystem::path& path) {
    std::string error;
    if (!makePrivateFolder(path.parent_path())) {
        return SqliteFailure{SQLITE_CANTOPEN, "cannot create its folder"};
    }
    if (!createPrivateFile(path, error)) {
        return SqliteFailure{SQLITE_CANTOPEN, error};
    }
    sqlite3* raw = nullptr;
    const int openCode = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    SqliteConnectionHandle connection(raw);
    auto failure = [&](int code) { return SqliteFailure{code, sqlite3_errmsg(connection.get())}; };
    if (openCode != SQLITE_OK) {
        return failure(openCode);
    }
    sqlite3_busy_timeout(connection.get(), kBusyTimeoutMilliseconds);
    std::string journalMode;
    if (const int code = runSql(connection.get(), "PRAGMA journal_mode=WAL", journalMode); code != SQLITE_OK) {
        return failure(code);
    }
    if (journalMode != "wal") {
        return SqliteFailure{SQLITE_CANTOPEN, "write-ahead logging unavailable"};
    }
    std::string ignored;
    if (const int code = runSql(connection.get(), "PRAGMA synchronous=NORMAL", ignored); code != SQLITE_OK) {
        return failure(code);
    }
    return connection;
}

int runSql(sqlite3* connection, const char* sql, std::string& firstColumn) {
    sqlite3_stmt* raw = nullptr;
    int code = sqlite3_prepare_v2(connection, sql, -1, &raw, nullptr);
    SqliteStatementHandle statement(raw);
    if (code != SQLITE_OK) {
        return code;
    }
    while ((code = sqlite3_step(raw)) == SQLITE_ROW) {
        if (firstColumn.empty()) {
            const auto* text = sqlite3_column_text(raw, 0);
            firstColumn = text ? reinterpret_cast<const char*>(text) : "";
        }
    }
    return code == SQLITE_DONE ? SQLITE_OK : code;
}

int prepareSql(sqlite3* connection, const char* sql, SqliteStatementHandle& statement) {
    sqlite3_stmt* raw = nullptr;
    const int code = sqlite3_prepare_v3(connection, sql, -1, SQLITE_PREPARE_PERSISTENT, &raw, nullptr);
    statement.reset(raw);
    return code;
}

int bindData(sqlite3_stmt* statement, int index, const Data& bytes) {
    // A null pointer would bind SQL NULL.
    static constexpr std::uint8_t kEmpty = 0;
    return sqlite3_bind_blob64(statement, index, bytes.empty() ? &kEmpty : bytes.data(), bytes.size(), SQLITE_STATIC);
}

}  // namespace fenk
