#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace fenk {

// A failed SQLite call, with SQLite's own message.
class SqliteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One prepared statement, reused call after call: bind, step through the rows, then reset() (which
// clears the bindings too). Text is bound by copy, so the caller's strings need not outlive the call.
class SqliteStatement {
public:
    SqliteStatement(sqlite3* connection, std::string_view sql);

    SqliteStatement& bind(int index, std::string_view text);
    SqliteStatement& bind(int index, const std::string& text) { return bind(index, std::string_view(text)); }
    SqliteStatement& bind(int index, const std::optional<std::string>& text);  // absent binds NULL
    SqliteStatement& bind(int index, std::int64_t number);

    // True while a row is available; throws on an error.
    bool step();
    // Steps a statement that yields no row, then resets it.
    void run();
    void reset();

    std::optional<std::string> text(int column) const;  // NULL reads as absent
    std::int64_t integer(int column) const;

private:
    struct Finalize {
        void operator()(sqlite3_stmt* statement) const;
    };

    sqlite3* connection_;
    std::unique_ptr<sqlite3_stmt, Finalize> statement_;
};

// One connection to a database file, created (readable by the user only) when missing. Write-ahead
// logging with synchronous=NORMAL: a crash loses at most the last commits, never the file.
class SqliteDatabase {
public:
    explicit SqliteDatabase(const std::filesystem::path& file);

    void execute(std::string_view sql);
    // Runs `work` inside one transaction: committed when it returns, rolled back when it throws.
    void inTransaction(const std::function<void()>& work);
    SqliteStatement prepare(std::string_view sql);
    std::int64_t lastInsertRowId() const;

private:
    struct Close {
        void operator()(sqlite3* connection) const;
    };

    std::unique_ptr<sqlite3, Close> connection_;
};

}  // namespace fenk
