#pragma once

#include "FenkSDK/ports/RecordQueue.h"
#include "adapters/linux/SqliteDatabase.h"

#include <filesystem>
#include <mutex>
#include <optional>
#include <string_view>

namespace fenk {

// The queue as a table of the settings database file, over a connection of its own: an append inserts its
// records in one transaction and a removal deletes one row, so neither rewrites what is already queued.
// Open it after the settings on the same file, since the settings may move a damaged file aside when they
// open. A database that cannot be opened is reported once; then appends and removals fail and reads answer
// an empty queue, so the caller keeps its records in memory.
class SqliteRecordQueue final : public RecordQueue {
public:
    explicit SqliteRecordQueue(const std::filesystem::path& path);

    bool append(const std::vector<Data>& records, SystemTime enqueuedAt) override;
    std::vector<Entry> oldest(std::size_t limit) const override;
    bool remove(std::int64_t id) override;
    std::size_t size() const override;

private:
    // An open database with its prepared statements; its statements are finalised before the connection.
    struct Database {
        SqliteConnectionHandle connection;
        SqliteStatementHandle begin;
        SqliteStatementHandle commit;
        SqliteStatementHandle rollback;
        SqliteStatementHandle insert;
        SqliteStatementHandle selectOldest;
        SqliteStatementHandle erase;
        SqliteStatementHandle count;
    };

    static std::optional<Database> open(const std::filesystem::path& path);
    // Runs a prepared statement that answers no rows, reports a failure and makes it ready for reuse. Callers
    // that bind hold a StatementUse of their own too, so a failed bind leaves nothing bound.
    bool run(sqlite3_stmt* statement, std::string_view what) const;
    bool insertAll(const std::vector<Data>& records, SystemTime enqueuedAt) const;

    mutable std::mutex mutex_;
    std::optional<Database> database_;
};

}  // namespace fenk
