#pragma once

#include "FenkSDK/json/RecordCodec.h"
#include "FenkSDK/ports/Preferences.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fenk {

// Every key of the settings store, named after the key itself ("FENK_ACTIVE_TRACKING" -> kFenkActiveTracking).
// No component invents a key of its own.
namespace settingsKeys {
inline constexpr std::string_view kFenkActiveTracking = "FENK_ACTIVE_TRACKING";          // bool
inline constexpr std::string_view kKeyAppKey = "KEY_APP_KEY";                            // string
inline constexpr std::string_view kKeyUrlPlatformUrl = "KEY_URL_PLATFORM_URL";          // string
inline constexpr std::string_view kKeyResourceId = "KEY_RESOURCE_ID";                    // string
inline constexpr std::string_view kKeyRefreshToken = "KEY_REFRESH_TOKEN";                // string
inline constexpr std::string_view kKeyCacheAutenticate = "KEY_CACHE_AUTENTICATE";        // record FG_Authenticate
inline constexpr std::string_view kKeyNotificationsToken = "KEY_NOTIFICATIONS_TOKEN";    // string
inline constexpr std::string_view kFenkAccountInfo = "FENK_ACCOUNT_INFO";                // record FG_Account
inline constexpr std::string_view kFenkAppParameters = "FENK_APP_PARAMETERS";            // list of FG_Extra
inline constexpr std::string_view kFenkUserProfile = "FENK_USER_PROFILE";                // list of FG_UserHabit
inline constexpr std::string_view kFenkPendingNotification = "FENK_PENDING_NOTIFICATION";  // list of push contents
inline constexpr std::string_view kFenkStoredPositions = "FENK_STORED_POSITIONS";        // list of StoredLocation
inline constexpr std::string_view kFenkPositionsNotPosted = "FENK_POSITIONS_NOT_POSTED";  // list of StoredLocation
inline constexpr std::string_view kFenkCandidateStays = "FENK_CANDIDATE_STAYS";          // record: cell -> stay
inline constexpr std::string_view kKeyFenkCheckedDate = "KEY_FENK_CHECKED_DATE";         // string "yyyyMMdd"
inline constexpr std::string_view kKeyAdidFenk = "KEY_ADID_FENK";                        // string, host-written
}  // namespace settingsKeys

// Keeps JSON-codable records, and lists of them, in the settings store: a record is one JSON document stored
// as bytes, a list is an array of such documents. Writes answer whether the store committed them.
class UserDefault {
public:
    explicit UserDefault(Preferences& preferences) : preferences_(preferences) {}

    // Stores the encoded value; an absent value, or one that cannot be encoded, removes the key (and answers
    // false in the second case).
    template <class T>
    bool setData(const std::optional<T>& value, std::string_view key) {
        if (!value) {
            return preferences_.remove(key);
        }
        const auto encoded = json::encode(*value);
        if (!encoded) {
            preferences_.remove(key);
            return false;
        }
        return preferences_.setData(key, toData(*encoded));
    }

    // None when the key holds no bytes; undecodable bytes are reported on the console and answer none.
    template <class T>
    std::optional<T> getData(std::string_view key) const {
        const auto data = preferences_.data(key);
        if (!data) {
            return std::nullopt;
        }
        std::string error;
        auto value = json::decode<T>(asText(*data), &error);
        if (!value) {
            reportUndecodable(key, error);
        }
        return value;
    }

    // An empty list changes nothing. A list that cannot be encoded as a whole leaves the old value.
    template <class T>
    bool setDataArray(const std::vector<T>& list, std::string_view key) {
        if (list.empty()) {
            return true;
        }
        std::vector<Data> documents;
        documents.reserve(list.size());
        for (const auto& element : list) {
            const auto encoded = json::encode(element);
            if (!encoded) {
                return false;
            }
            documents.push_back(toData(*encoded));
        }
        return preferences_.setDataArray(key, std::move(documents));
    }

    // The decodable elements in order. The SDK only reads lists it wrote with the same type; should an element
    // still fail to decode, it is reported and skipped so that the rest of the list is not lost.
    template <class T>
    std::vector<T> getDataArray(std::string_view key) const {
        std::vector<T> list;
        for (const auto& document : preferences_.dataArray(key)) {
            std::string error;
            if (auto element = json::decode<T>(asText(document), &error)) {
                list.push_back(std::move(*element));
            } else {
                reportUndecodable(key, error);
            }
        }
        return list;
    }

    // A record's own loader: like getData, but silent, for records whose absence is an ordinary state.
    template <class T>
    std::optional<T> loadRecord(std::string_view key) const {
        const auto data = preferences_.data(key);
        return data ? json::decode<T>(asText(*data)) : std::nullopt;
    }

    // A record's own saver: a record that cannot be encoded stores nothing and the key keeps its old value.
    template <class T>
    bool saveRecord(const T& record, std::string_view key) {
        const auto encoded = json::encode(record);
        return encoded && preferences_.setData(key, toData(*encoded));
    }

private:
    static void reportUndecodable(std::string_view key, std::string_view error);

    Preferences& preferences_;
};

}  // namespace fenk
