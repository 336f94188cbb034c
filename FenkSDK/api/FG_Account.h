#pragma once

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "FenkSDK/api/FG_Extra.h"
#include "FenkSDK/api/FG_Layer.h"
#include "FenkSDK/json/RecordCodec.h"

namespace fenk {

// The user as the platform knows it. The `mobile...` fields describe this device (platform, device id,
// hardware model, system version, notifications token, access token); `extra` holds the user's extra facts.
struct FG_Account {
    std::optional<std::string> resourceId{};
    std::optional<std::string> userName{};
    std::optional<std::string> email{};
    std::optional<std::vector<FG_Extra>> extra{};
    std::optional<std::string> mobilePlatform{};
    std::optional<std::string> mobileDeviceId{};
    std::optional<std::string> mobileDevice{};
    std::optional<std::string> mobileVersion{};
    std::optional<std::string> mobileToken{};
    std::optional<std::string> mobileAccessToken{};
    std::optional<std::vector<FG_Extra>> mobileExtra{};
    std::optional<std::vector<FG_Layer>> layers{};

    static constexpr auto jsonFields = std::tuple{json::field("resourceId", &FG_Account::resourceId),
                                                  json::field("userName", &FG_Account::userName),
                                                  json::field("email", &FG_Account::email),
                                                  json::field("extra", &FG_Account::extra),
                                                  json::field("mobilePlatform", &FG_Account::mobilePlatform),
                                                  json::field("mobileDeviceId", &FG_Account::mobileDeviceId),
                                                  json::field("mobileDevice", &FG_Account::mobileDevice),
                                                  json::field("mobileVersion", &FG_Account::mobileVersion),
                                                  json::field("mobileToken", &FG_Account::mobileToken),
                                                  json::field("mobileAccessToken", &FG_Account::mobileAccessToken),
                                                  json::field("mobileExtra", &FG_Account::mobileExtra),
                                                  json::field("layers", &FG_Account::layers)};
};

}  // namespace fenk
