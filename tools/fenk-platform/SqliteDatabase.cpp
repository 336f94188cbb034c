#include "tools/fenk-platform/SqliteDatabase.h"

#include <sqlite3.h>

#include <fcntl.h>
#include <unistd.h>

namespace fenk {
namespace {

constexpr int kBusyTimeoutMilliseconds = 5000;

[[noreturn]] void fail(sqlite3* connection, std::string_view what) {
    throw SqliteError(std::string(what) + ": " + (connection ? sqlite3_errmsg(connection) : "out of memory"));
}

}  // namespace

SqliteStatement::SqliteStatement(sqlite3* connection, std::string_view sql) : connection_(connection) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v3(connection, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &raw,
                           nullptr) != SQLITE_OK) {
        fail(connection, "cannot prepare \"" + std::string(sql) + "\"");
    }
    statement_.reset(raw);
}

void SqliteStatement::Finalize::operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }

SqliteStatement& SqliteStatement::bind(int index, std::string_view text) {
    if (sqlite3_bind_text64(statement_.get(), index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8) !=
        SQLITE_OK) {
        fail(connection_, "cannot bind a value");
    }
    return *this;
}

SqliteStatement& SqliteStatement::bind(int index, const std::optional<std::string>& text) {
    if (text) return bind(index, std::string_view(*text));
    if (sqlite3_bind_null(statement_.get(), index) != SQLITE_OK) fail(connection_, "cannot bind a value");
    return *this;
}

SqliteStatement& SqliteStatement::bind(int index, std::int64_t number) {
    if (sqlite3_bind_int64(statement_.get(), index, number) != SQLITE_OK) fail(connection_, "cannot bind a value");
    return *this;
}

bool SqliteStatement::step() {
    switch (sqlite3_step(statement_.get())) {
        case SQLITE_ROW:
            return true;
        case SQLITE_DONE:
            return false;
        default: {
            const std::string message = sqlite3_errmsg(connection_);
            reset();
            throw SqliteError("statement failed: " + message);
        }
    }
}

void SqliteStatement::run() {
    step();
    reset();
}

void SqliteStatement::reset() {
    sqlite3_reset(statement_.get());
    sqlite3_clear_bindings(statement_.get());
}

std::optional<std::string> SqliteStatement::text(int column) const {
    const auto* characters = sqlite3_column_text(statement_.get(), column);
    if (!characters) return std::nullopt;
    return std::string(reinterpret_cast<const char*>(characters),
                       static_cast<std::size_t>(sqlite3_column_bytes(statement_.get(), column)));
}

std::int64_t SqliteStatement::integer(int column) const { return sqlite3_column_int64(statement_.get(), column); }

SqliteDatabase::SqliteDatabase(const std::filesystem::path& file) {
    // The file holds users' credentials: create it for the user alone (SQLite gives its journal files the
    // same mode).
    if (const int descriptor = ::open(file.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600); descriptor >= 0) {
        ::close(descriptor);
    }
    sqlite3* raw = nullptr;
    const int code =
        sqlite3_open_v2(file.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    connection_.reset(raw);
    if (code != SQLITE_OK) fail(raw, "cannot open " + file.string());
    sqlite3_busy_timeout(raw, kBusyTimeoutMilliseconds);
    execute("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA foreign_keys=ON;");
}

void SqliteDatabase::Close::operator()(sqlite3* connection) const { sqlite3_close_v2(connection); }

void SqliteDatabase::execute(std::string_view sql) {
    const std::string statements(sql);
    if (sqlite3_exec(connection_.get(), statements.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        fail(connection_.get(), "cannot execute \"" + statements + "\"");
    }
}

void SqliteDatabase::inTransaction(const std::function<void()>& work) {
    execute("BEGIN IMMEDIATE");
    try {
        work();
    } catch (...) {
        sqlite3_exec(connection_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    execute("COMMIT");
}

SqliteStatement SqliteDatabase::prepare(std::string_view sql) { return SqliteStatement(connection_.get(), sql); }

std::int64_t SqliteDatabase::lastInsertRowId() const { return sqlite3_last_insert_rowid(connection_.get()); }

}  // namespace fenk
