#include "tools/fenk-platform/PlatformStore.h"

namespace fenk {
namespace {

// Creates the schema on first use; later starts find it in place.
SqliteDatabase openWithSchema(const std::filesystem::path& file) {
    SqliteDatabase database(file);
    database.execute(R"sql(
        CREATE TABLE IF NOT EXISTS users (
            resourceId TEXT PRIMARY KEY,
            appKey TEXT NOT NULL,
            credential TEXT NOT NULL UNIQUE,
            email TEXT,
            mobilePlatform TEXT,
            mobileDeviceId TEXT,
            mobileDevice TEXT,
            mobileVersion TEXT,
            mobileToken TEXT);
        CREATE TABLE IF NOT EXISTS userExtras (
            resourceId TEXT NOT NULL REFERENCES users,
            name TEXT NOT NULL,
            value TEXT NOT NULL,
            PRIMARY KEY (resourceId, name));
        CREATE TABLE IF NOT EXISTS locations (
            id INTEGER PRIMARY KEY AUTOINCREMENT,
            resourceId TEXT NOT NULL REFERENCES users,
            latitude TEXT,
            longitude TEXT,
            extra TEXT,
            async INTEGER NOT NULL,
            receivedAt TEXT NOT NULL DEFAULT (strftime('%Y-%m-%dT%H:%M:%fZ', 'now')));
        CREATE TABLE IF NOT EXISTS memberships (
            groupId TEXT NOT NULL,
            resourceId TEXT NOT NULL REFERENCES users,
            PRIMARY KEY (groupId, resourceId));
    )sql");
    return database;
}

}  // namespace

PlatformStore::PlatformStore(const std::filesystem::path& file)
    : database_(openWithSchema(file)),
      insertUser_(database_.prepare(
          "INSERT INTO users (resourceId, appKey, credential, mobilePlatform, mobileDeviceId, mobileDevice, "
          "mobileVersion, mobileToken) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)")),
      selectUserByCredential_(database_.prepare("SELECT resourceId FROM users WHERE appKey = ?1 AND credential = ?2")),
      selectAppOfUser_(database_.prepare("SELECT appKey FROM users WHERE resourceId = ?1")),
      selectAccount_(database_.prepare(
          "SELECT email, mobilePlatform, mobileDeviceId, mobileDevice, mobileVersion, mobileToken FROM users "
          "WHERE resourceId = ?1")),
      selectExtras_(database_.prepare("SELECT name, value FROM userExtras WHERE resourceId = ?1 ORDER BY rowid")),
      updateUser_(database_.prepare(
          "UPDATE users SET mobileDevice = coalesce(?2, mobileDevice), mobileVersion = coalesce(?3, mobileVersion), "
          "email = coalesce(?4, email), mobileToken = coalesce(?5, mobileToken) WHERE resourceId = ?1")),
      // Replacing a value keeps the fact's place in the list.
      upsertExtra_(database_.prepare("INSERT INTO userExtras (resourceId, name, value) VALUES (?1, ?2, ?3) "
                                     "ON CONFLICT (resourceId, name) DO UPDATE SET value = excluded.value")),
      insertLocation_(database_.prepare(
          "INSERT INTO locations (resourceId, latitude, longitude, extra, async) VALUES (?1, ?2, ?3, ?4, ?5)")),
      selectLocations_(database_.prepare(
          "SELECT latitude, longitude, extra, async FROM locations WHERE resourceId = ?1 ORDER BY id")),
      insertMembership_(database_.prepare("INSERT OR IGNORE INTO memberships (groupId, resourceId) VALUES (?1, ?2)")),
      deleteMembership_(database_.prepare("DELETE FROM memberships WHERE groupId = ?1 AND resourceId = ?2")),
      selectMemberships_(database_.prepare("SELECT groupId FROM memberships WHERE resourceId = ?1 ORDER BY rowid")) {}

void PlatformStore::createUser(const NewUser& user) {
    const std::scoped_lock lock(mutex_);
    database_.inTransaction([&] {
        insertUser_.bind(1, user.resourceId)
            .bind(2, user.appKey)
            .bind(3, user.credential)
            .bind(4, user.platform)
            .bind(5, user.deviceId)
            .bind(6, user.device)
            .bind(7, user.version)
            .bind(8, user.notificationsToken)
            .run();
        upsertExtras(user.resourceId, user.extras);
    });
}

std::optional<std::string> PlatformStore::userByCredential(std::string_view appKey, std::string_view credential) {
    const std::scoped_lock lock(mutex_);
    selectUserByCredential_.bind(1, appKey).bind(2, credential);
    std::optional<std::string> resourceId;
    if (selectUserByCredential_.step()) resourceId = selectUserByCredential_.text(0);
    selectUserByCredential_.reset();
    return resourceId;
}

std::optional<std::string> PlatformStore::appOfUser(std::string_view resourceId) {
    const std::scoped_lock lock(mutex_);
    selectAppOfUser_.bind(1, resourceId);
    std::optional<std::string> appKey;
    if (selectAppOfUser_.step()) appKey = selectAppOfUser_.text(0);
    selectAppOfUser_.reset();
    return appKey;
}

std::optional<FG_Account> PlatformStore::account(std::string_view resourceId) {
    const std::scoped_lock lock(mutex_);
    selectAccount_.bind(1, resourceId);
    if (!selectAccount_.step()) {
        selectAccount_.reset();
        return std::nullopt;
    }
    FG_Account account{.resourceId = std::string(resourceId),
                       .email = selectAccount_.text(0),
                       .mobilePlatform = selectAccount_.text(1),
                       .mobileDeviceId = selectAccount_.text(2),
                       .mobileDevice = selectAccount_.text(3),
                       .mobileVersion = selectAccount_.text(4),
                       .mobileToken = selectAccount_.text(5)};
    selectAccount_.reset();

    selectExtras_.bind(1, resourceId);
    std::vector<FG_Extra> extras;
    while (selectExtras_.step()) extras.push_back({.name = selectExtras_.text(0), .value = selectExtras_.text(1)});
    selectExtras_.reset();
    if (!extras.empty()) account.extra = std::move(extras);
    return account;
}

void PlatformStore::updateUser(std::string_view resourceId, const UserChanges& changes) {
    const std::scoped_lock lock(mutex_);
    database_.inTransaction([&] {
        updateUser_.bind(1, resourceId)
            .bind(2, changes.device)
            .bind(3, changes.version)
            .bind(4, changes.email)
            .bind(5, changes.notificationsToken)
            .run();
        upsertExtras(resourceId, changes.extras);
    });
}

std::int64_t PlatformStore::addLocation(const ReceivedLocation& location) {
    const std::scoped_lock lock(mutex_);
    insertLocation_.bind(1, location.resourceId)
        .bind(2, location.latitude)
        .bind(3, location.longitude)
        .bind(4, location.extra)
        .bind(5, std::int64_t{location.async})
        .run();
    return database_.lastInsertRowId();
}

std::vector<ReceivedLocation> PlatformStore::locationsOf(std::string_view resourceId) {
    const std::scoped_lock lock(mutex_);
    selectLocations_.bind(1, resourceId);
    std::vector<ReceivedLocation> locations;
    while (selectLocations_.step()) {
        locations.push_back({.resourceId = std::string(resourceId),
                             .latitude = selectLocations_.text(0),
                             .longitude = selectLocations_.text(1),
                             .extra = selectLocations_.text(2),
                             .async = selectLocations_.integer(3) != 0});
    }
    selectLocations_.reset();
    return locations;
}

void PlatformStore::join(std::string_view groupId, std::string_view resourceId) {
    const std::scoped_lock lock(mutex_);
    insertMembership_.bind(1, groupId).bind(2, resourceId).run();
}

void PlatformStore::leave(std::string_view groupId, std::string_view resourceId) {
    const std::scoped_lock lock(mutex_);
    deleteMembership_.bind(1, groupId).bind(2, resourceId).run();
}

std::vector<std::string> PlatformStore::groupsOf(std::string_view resourceId) {
    const std::scoped_lock lock(mutex_);
    selectMemberships_.bind(1, resourceId);
    std::vector<std::string> groups;
    while (selectMemberships_.step()) groups.push_back(selectMemberships_.text(0).value_or(""));
    selectMemberships_.reset();
    return groups;
}

void PlatformStore::upsertExtras(std::string_view resourceId, const NameValueList& extras) {
    for (const auto& [name, value] : extras) upsertExtra_.bind(1, resourceId).bind(2, name).bind(3, value).run();
}

}  // namespace fenk
