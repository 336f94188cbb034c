#include "adapters/linux/SqliteRecordQueue.h"

#include "FenkSDK/runtime/Console.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <sqlite3.h>
#include <string>

namespace fenk {
namespace {

// AUTOINCREMENT: an id is never handed out again, even after the newest entry was removed.
constexpr const char* kCreateQueueTable =
    "CREATE TABLE IF NOT EXISTS upload_queue(id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "enqueued_at INTEGER NOT NULL, record BLOB NOT NULL)";
// IMMEDIATE takes the write lock at once, so waiting on the settings' connection is done by the busy timeout
// instead of failing halfway through a batch.
constexpr const char* kBegin = "BEGIN IMMEDIATE";
constexpr const char* kCommit = "COMMIT";
constexpr const char* kRollback = "ROLLBACK";
constexpr const char* kInsert = "INSERT INTO upload_queue(enqueued_at, record) VALUES(?1, ?2)";
constexpr const char* kSelectOldest = "SELECT id, enqueued_at, record FROM upload_queue ORDER BY id LIMIT ?1";
constexpr const char* kEraseEntry = "DELETE FROM upload_queue WHERE id = ?1";
constexpr const char* kCount = "SELECT count(*) FROM upload_queue";

// Times are kept as microseconds since 1970, rounded down.
std::int64_t microsecondsOf(SystemTime time) {
    return std::chrono::floor<std::chrono::microseconds>(time.time_since_epoch()).count();
}

}  // namespace

SqliteRecordQueue::SqliteRecordQueue(const std::filesystem::path& path) : database_(open(path)) {}

std::optional<SqliteRecordQueue::Database> SqliteRecordQueue::open(const std::filesystem::path& path) {
    auto opened = openSqliteDatabase(path);
    std::string problem;
    if (auto* failure = std::get_if<SqliteFailure>(&opened)) {
        problem = failure->message;
    } else {
        Database database{std::get<SqliteConnectionHandle>(std::move(opened)), {}, {}, {}, {}, {}, {}, {}};
        auto* connection = database.connection.get();
        std::string ignored;
        int code = runSql(connection, kCreateQueueTable, ignored);
        for (auto [sql, statement] :
             {std::pair{kBegin, &database.begin}, std::pair{kCommit, &database.commit},
              std::pair{kRollback, &database.rollback}, std::pair{kInsert, &database.insert},
              std::pair{kSelectOldest, &database.selectOldest}, std::pair{kEraseEntry, &database.erase},
              std::pair{kCount, &database.count}}) {
            if (code == SQLITE_OK) {
                code = prepareSql(connection, sql, *statement);
            }
        }
        if (code == SQLITE_OK) {
            return database;
        }
        problem = sqlite3_errmsg(connection);
    }
    Console::print("Fenk: the upload queue in " + path.string() + " cannot be opened (" + problem +
                   "); it keeps nothing until the next launch");
    return std::nullopt;
}

bool SqliteRecordQueue::append(const std::vector<Data>& records, SystemTime enqueuedAt) {
    std::lock_guard lock(mutex_);
    if (!database_) {
        return false;
    }
    if (records.empty()) {
        return true;
    }
    if (!run(database_->begin.get(), "starting an append to")) {
        return false;
    }
    if (insertAll(records, enqueuedAt) && run(database_->commit.get(), "committing an append to")) {
        return true;
    }
    // A failed commit may leave the transaction open (a lock it could not get) or have ended it already.
    if (!sqlite3_get_autocommit(database_->connection.get())) {
        run(database_->rollback.get(), "abandoning an append to");
    }
    return false;
}

bool SqliteRecordQueue::insertAll(const std::vector<Data>& records, SystemTime enqueuedAt) const {
    auto* statement = database_->insert.get();
    const auto enqueuedMicroseconds = microsecondsOf(enqueuedAt);
    for (const auto& record : records) {
        StatementUse use(statement);
        const bool bound = sqlite3_bind_int64(statement, 1, enqueuedMicroseconds) == SQLITE_OK &&
                           bindData(statement, 2, record) == SQLITE_OK;
        if (!bound || !run(statement, "appending to")) {
            return false;
        }
    }
    return true;
}

std::vector<RecordQueue::Entry> SqliteRecordQueue::oldest(std::size_t limit) const {
    std::vector<Entry> entries;
    std::lock_guard lock(mutex_);
    if (!database_ || limit == 0) {
        return entries;
    }
    auto* statement = database_->selectOldest.get();
    StatementUse use(statement);
    const auto rows = static_cast<sqlite3_int64>(std::min<std::size_t>(limit, INT64_MAX));
    int code = sqlite3_bind_int64(statement, 1, rows);
    if (code == SQLITE_OK) {
        while ((code = sqlite3_step(statement)) == SQLITE_ROW) {
            const auto* bytes = static_cast<const std::uint8_t*>(sqlite3_column_blob(statement, 2));
            const auto size = static_cast<std::size_t>(sqlite3_column_bytes(statement, 2));
            entries.push_back(Entry{sqlite3_column_int64(statement, 0),
                                    SystemTime(std::chrono::microseconds(sqlite3_column_int64(statement, 1))),
                                    Data(bytes, bytes + size)});
        }
    }
    if (code != SQLITE_DONE) {
        Console::print(std::string("Fenk: reading the upload queue failed: ") +
                       sqlite3_errmsg(database_->connection.get()));
    }
    return entries;
}

bool SqliteRecordQueue::remove(std::int64_t id) {
    std::lock_guard lock(mutex_);
    if (!database_) {
        return false;
    }
    auto* statement = database_->erase.get();
    StatementUse use(statement);
    return sqlite3_bind_int64(statement, 1, id) == SQLITE_OK && run(statement, "removing from");
}

std::size_t SqliteRecordQueue::size() const {
    std::lock_guard lock(mutex_);
    if (!database_) {
        return 0;
    }
    auto* statement = database_->count.get();
    StatementUse use(statement);
    if (sqlite3_step(statement) != SQLITE_ROW) {
        Console::print(std::string("Fenk: counting the upload queue failed: ") +
                       sqlite3_errmsg(database_->connection.get()));
        return 0;
    }
    return static_cast<std::size_t>(sqlite3_column_int64(statement, 0));
}

bool SqliteRecordQueue::run(sqlite3_stmt* statement, std::string_view what) const {
    StatementUse use(statement);
    if (sqlite3_step(statement) == SQLITE_DONE) {
        return true;
    }
    Console::print("Fenk: " + std::string(what) + " the upload queue failed: " +
                   sqlite3_errmsg(database_->connection.get()));
    return false;
}

}  // namespace fenk
