#include "adapters/linux/SqlitePreferences.h"

#include "FenkSDK/runtime/Console.h"

#include <cstdint>
#include <sqlite3.h>

namespace fenk {
namespace {

// The form of a stored value, as kept in the `kind` column. The numbers are part of the file format.
enum class StoredKind : int { text = 1, boolean = 2, data = 3, dataArray = 4 };

constexpr const char* kCreateSettingTable =
    "CREATE TABLE IF NOT EXISTS setting(key TEXT PRIMARY KEY NOT NULL, kind INTEGER NOT NULL, value BLOB NOT NULL)";
constexpr const char* kSelect = "SELECT kind, value FROM setting WHERE key = ?1";
constexpr const char* kUpsert =
    "INSERT INTO setting(key, kind, value) VALUES(?1, ?2, ?3) "
    "ON CONFLICT(key) DO UPDATE SET kind = excluded.kind, value = excluded.value";
constexpr const char* kEraseSetting = "DELETE FROM setting WHERE key = ?1";
constexpr std::size_t kLengthPrefixSize = 4;

// A list of buffers is one blob of elements, each prefixed by its length (32 bits, little-endian).
std::optional<Data> encodeDataArray(const std::vector<Data>& elements) {
    Data blob;
    for (const auto& element : elements) {
        if (element.size() > UINT32_MAX) {
            return std::nullopt;
        }
        const auto length = static_cast<std::uint32_t>(element.size());
        for (std::size_t byte = 0; byte < kLengthPrefixSize; ++byte) {
            blob.push_back(static_cast<std::uint8_t>(length >> (8 * byte)));
        }
        blob.insert(blob.end(), element.begin(), element.end());
    }
    return blob;
}

std::optional<std::vector<Data>> decodeDataArray(const std::uint8_t* bytes, std::size_t size) {
    std::vector<Data> elements;
    std::size_t offset = 0;
    while (offset < size) {
        if (size - offset < kLengthPrefixSize) {
            return std::nullopt;
        }
        std::size_t length = 0;
        for (std::size_t byte = 0; byte < kLengthPrefixSize; ++byte) {
            length |= std::size_t{bytes[offset + byte]} << (8 * byte);
        }
        offset += kLengthPrefixSize;
        if (size - offset < length) {
            return std::nullopt;
        }
        elements.emplace_back(bytes + offset, bytes + offset + length);
        offset += length;
    }
    return elements;
}

struct EncodedValue {
    StoredKind kind;
    Data bytes;
};

std::optional<EncodedValue> encode(Preferences::Value value) {
    if (auto* text = std::get_if<std::string>(&value)) {
        return EncodedValue{StoredKind::text, toData(*text)};
    }
    if (auto* flag = std::get_if<bool>(&value)) {
        return EncodedValue{StoredKind::boolean, Data{static_cast<std::uint8_t>(*flag)}};
    }
    if (auto* data = std::get_if<Data>(&value)) {
        return EncodedValue{StoredKind::data, std::move(*data)};
    }
    auto blob = encodeDataArray(std::get<std::vector<Data>>(value));
    if (!blob) {
        return std::nullopt;
    }
    return EncodedValue{StoredKind::dataArray, std::move(*blob)};
}

// Answers nothing for a row this code did not write (an unknown kind or a malformed list).
std::optional<Preferences::Value> decode(int kind, const std::uint8_t* bytes, std::size_t size) {
    using Value = Preferences::Value;
    switch (static_cast<StoredKind>(kind)) {
        case StoredKind::text:
            return Value(std::in_place_type<std::string>, reinterpret_cast<const char*>(bytes), size);
        case StoredKind::boolean:
            return Value(std::in_place_type<bool>, size == 1 && bytes[0] != 0);
        case StoredKind::data:
            return Value(std::in_place_type<Data>, bytes, bytes + size);
        case StoredKind::dataArray:
            if (auto elements = decodeDataArray(bytes, size)) {
                return Value(std::move(*elements));
            }
            return std::nullopt;
    }
    return std::nullopt;
}

int bindKey(sqlite3_stmt* statement, std::string_view key) {
    return sqlite3_bind_text(statement, 1, key.data(), static_cast<int>(key.size()), SQLITE_STATIC);
}

// Only proof of damage justifies moving the file aside: a file that is not a database, or broken pages. Any
// other failure to open (no descriptor left, a denied permission, no room for the log) says nothing about a
// file that may hold the account, so it is left for the next launch.
bool isDamaged(int code) {
    const int primary = code & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

}  // namespace

SqlitePreferences::SqlitePreferences(std::filesystem::path path) : path_(std::move(path)) { open(); }

SqlitePreferences::~SqlitePreferences() = default;

void SqlitePreferences::open() {
    auto opened = tryOpen();
    if (auto* failure = std::get_if<SqliteFailure>(&opened); failure && isDamaged(failure->code)) {
        const auto aside = moveAside();
        if (!aside.empty()) {
            Console::print("Fenk: the settings database " + path_.string() + " is unusable (" + failure->message +
                           "); kept it as " + aside.string() + " and started a fresh one");
            opened = tryOpen();
        }
    }
    if (auto* database = std::get_if<Database>(&opened)) {
        database_ = std::move(*database);
        return;
    }
    Console::print("Fenk: the settings database " + path_.string() + " cannot be opened (" +
                   std::get<SqliteFailure>(opened).message + "); it is left as it is, and until the next launch " +
                   "settings read as absent and are not kept");
}

std::variant<SqlitePreferences::Database, SqliteFailure> SqlitePreferences::tryOpen() const {
    auto opened = openSqliteDatabase(path_);
    if (auto* failure = std::get_if<SqliteFailure>(&opened)) {
        return std::move(*failure);
    }
    Database database{std::get<SqliteConnectionHandle>(std::move(opened)), {}, {}, {}};
    auto* connection = database.connection.get();
    auto failure = [&](int code) { return SqliteFailure{code, sqlite3_errmsg(connection)}; };
    std::string check;
    for (const char* sql : {"PRAGMA quick_check", kCreateSettingTable}) {
        if (const int code = runSql(connection, sql, check); code != SQLITE_OK) {
            return failure(code);
        }
        if (!check.empty() && check != "ok") {
            return SqliteFailure{SQLITE_CORRUPT, check};
        }
    }
    for (auto [sql, statement] : {std::pair{kSelect, &database.select}, std::pair{kUpsert, &database.upsert},
                                  std::pair{kEraseSetting, &database.erase}}) {
        if (const int code = prepareSql(connection, sql, *statement); code != SQLITE_OK) {
            return failure(code);
        }
    }
    return database;
}

std::filesystem::path SqlitePreferences::moveAside() const {
    auto withSuffix = [](const std::filesystem::path& path, std::string_view suffix) {
        return std::filesystem::path(path.string() + std::string(suffix));
    };
    std::error_code error;
    for (int attempt = 1; attempt < 1000; ++attempt) {
        const auto aside = withSuffix(path_, ".corrupt-" + std::to_string(attempt));
        if (std::filesystem::exists(std::filesystem::symlink_status(aside, error))) {
            continue;
        }
        if (::rename(path_.c_str(), aside.c_str()) != 0) {
            return {};
        }
        // A stale log left beside a fresh database would be replayed into it.
        for (std::string_view companion : {"-wal", "-shm"}) {
            ::rename(withSuffix(path_, companion).c_str(), withSuffix(aside, companion).c_str());
        }
        return aside;
    }
    return {};
}

std::optional<Preferences::Value> SqlitePreferences::load(std::string_view key) const {
    std::lock_guard lock(mutex_);
    if (!database_) {
        return std::nullopt;
    }
    auto* statement = database_->select.get();
    StatementUse use(statement);
    if (bindKey(statement, key) != SQLITE_OK) {
        return std::nullopt;
    }
    const int code = sqlite3_step(statement);
    if (code != SQLITE_ROW) {
        if (code != SQLITE_DONE) {
            Console::print("Fenk: reading setting " + std::string(key) + " failed: " +
                           sqlite3_errmsg(database_->connection.get()));
        }
        return std::nullopt;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(sqlite3_column_blob(statement, 1));
    const auto size = static_cast<std::size_t>(sqlite3_column_bytes(statement, 1));
    return decode(sqlite3_column_int(statement, 0), size == 0 ? nullptr : bytes, size);
}

bool SqlitePreferences::store(std::string_view key, Value value) {
    auto encoded = encode(std::move(value));
    std::lock_guard lock(mutex_);
    if (!database_ || !encoded) {
        return false;
    }
    auto* statement = database_->upsert.get();
    StatementUse use(statement);
    const bool bound =
        bindKey(statement, key) == SQLITE_OK &&
        sqlite3_bind_int(statement, 2, static_cast<int>(encoded->kind)) == SQLITE_OK &&
        bindData(statement, 3, encoded->bytes) == SQLITE_OK;
    return bound && runWrite(statement, key);
}

bool SqlitePreferences::remove(std::string_view key) {
    std::lock_guard lock(mutex_);
    if (!database_) {
        return false;
    }
    auto* statement = database_->erase.get();
    StatementUse use(statement);
    return bindKey(statement, key) == SQLITE_OK && runWrite(statement, key);
}

bool SqlitePreferences::synchronize() {
    std::lock_guard lock(mutex_);
    // Committed writes already survive a crash of the process; a checkpoint also puts them on the disk.
    return database_ &&
           sqlite3_exec(database_->connection.get(), "PRAGMA wal_checkpoint(PASSIVE)", nullptr, nullptr, nullptr) ==
               SQLITE_OK;
}

bool SqlitePreferences::runWrite(sqlite3_stmt* statement, std::string_view key) const {
    if (sqlite3_step(statement) == SQLITE_DONE) {
        return true;
    }
    Console::print("Fenk: writing setting " + std::string(key) + " failed: " +
                   sqlite3_errmsg(database_->connection.get()));
    return false;
}

}  // namespace fenk
