#pragma once

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "FenkSDK/api/FG_Account.h"
#include "FenkSDK/json/RecordCodec.h"
#include "tools/fenk-platform/SqliteDatabase.h"
#include "tools/fenk-platform/UrlEncoding.h"

namespace fenk {

// A user as the anonymous creation makes it.
struct NewUser {
    std::string resourceId{};
    std::string appKey{};
    std::string credential{};  // the refresh token or ticket that authenticates as this user from now on
    std::optional<std::string> platform{};
    std::optional<std::string> deviceId{};
    std::optional<std::string> device{};
    std::optional<std::string> version{};
    std::optional<std::string> notificationsToken{};
    NameValueList extras{};
};

// What a user update changes; absent fields keep their value, extras are added or replaced by name.
struct UserChanges {
    std::optional<std::string> device{};
    std::optional<std::string> version{};
    std::optional<std::string> email{};
    std::optional<std::string> notificationsToken{};
    NameValueList extras{};
};

// A position upload, kept as the device sent it.
struct ReceivedLocation {
    std::string resourceId{};
    std::optional<std::string> latitude{};
    std::optional<std::string> longitude{};
    std::optional<std::string> extra{};
    bool async = false;

    static constexpr auto jsonFields = std::tuple{json::field("resourceId", &ReceivedLocation::resourceId),
                                                  json::field("latitude", &ReceivedLocation::latitude),
                                                  json::field("longitude", &ReceivedLocation::longitude),
                                                  json::field("extra", &ReceivedLocation::extra),
                                                  json::field("async", &ReceivedLocation::async)};
};

// What devices wrote to the platform, kept in SQLite: users and their extra facts, positions, group
// memberships. Safe to call from several threads; SQLite failures throw SqliteError.
class PlatformStore {
public:
    explicit PlatformStore(const std::filesystem::path& file);

    void createUser(const NewUser& user);
    std::optional<std::string> userByCredential(std::string_view appKey, std::string_view credential);
    std::optional<std::string> appOfUser(std::string_view resourceId);
    std::optional<FG_Account> account(std::string_view resourceId);
    void updateUser(std::string_view resourceId, const UserChanges& changes);

    // Answers the stored position's id.
    std::int64_t addLocation(const ReceivedLocation& location);
    // The positions the user sent, in arrival order.
    std::vector<ReceivedLocation> locationsOf(std::string_view resourceId);

    void join(std::string_view groupId, std::string_view resourceId);
    void leave(std::string_view groupId, std::string_view resourceId);
    std::vector<std::string> groupsOf(std::string_view resourceId);

private:
    void upsertExtras(std::string_view resourceId, const NameValueList& extras);

    std::mutex mutex_;
    SqliteDatabase database_;
    SqliteStatement insertUser_;
    SqliteStatement selectUserByCredential_;
    SqliteStatement selectAppOfUser_;
    SqliteStatement selectAccount_;
    SqliteStatement selectExtras_;
    SqliteStatement updateUser_;
    SqliteStatement upsertExtra_;
    SqliteStatement insertLocation_;
    SqliteStatement selectLocations_;
    SqliteStatement insertMembership_;
    SqliteStatement deleteMembership_;
    SqliteStatement selectMemberships_;
};

}  // namespace fenk
