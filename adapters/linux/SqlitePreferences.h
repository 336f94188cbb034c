#pragma once

#include "FenkSDK/ports/Preferences.h"
#include "adapters/linux/SqliteDatabase.h"

#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <variant>

namespace fenk {

// Settings in one SQLite database file (WAL, synchronous=NORMAL). Every write is one statement that replaces
// a whole value, committed on its own, so a process killed at any instant leaves each key with its old or its
// new value. The file is readable by the user only. A file that is not a database or fails its integrity check
// is renamed aside (kept for inspection) and a fresh one is used. Any other failure to open (no descriptor
// left, a denied permission, no write-ahead log) leaves the file untouched; then, as when a fresh database
// cannot be made either, reads answer nothing and writes report failure until the next launch.
class SqlitePreferences final : public Preferences {
public:
    explicit SqlitePreferences(std::filesystem::path path);
    ~SqlitePreferences() override;
    SqlitePreferences(const SqlitePreferences&) = delete;
    SqlitePreferences& operator=(const SqlitePreferences&) = delete;

    bool remove(std::string_view key) override;
    bool synchronize() override;

protected:
    std::optional<Value> load(std::string_view key) const override;
    bool store(std::string_view key, Value value) override;

private:
    // An open database with its prepared statements; its statements are finalised before the connection.
    struct Database {
        SqliteConnectionHandle connection;
        SqliteStatementHandle select;
        SqliteStatementHandle upsert;
        SqliteStatementHandle erase;
    };

    void open();
    std::variant<Database, SqliteFailure> tryOpen() const;
    std::filesystem::path moveAside() const;
    // Runs a prepared write to completion and makes it ready for reuse.
    bool runWrite(sqlite3_stmt* statement, std::string_view key) const;

    const std::filesystem::path path_;
    mutable std::mutex mutex_;
    std::optional<Database> database_;
};

}  // namespace fenk
