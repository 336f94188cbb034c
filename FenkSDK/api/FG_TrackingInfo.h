#pragma once

#include <optional>
#include <string>
#include <tuple>

#include "FenkSDK/json/RecordCodec.h"

namespace fenk {

// Where the user's positions are tracked for analytics, and the place names the platform resolved for them.
struct FG_TrackingInfo {
    std::optional<std::string> siteUrl{};
    std::optional<std::string> siteId{};
    std::optional<std::string> siteAuthCode{};
    std::optional<std::string> country{};
    std::optional<std::string> region{};
    std::optional<std::string> city{};

    static constexpr auto jsonFields = std::tuple{json::field("siteUrl", &FG_TrackingInfo::siteUrl),
                                                  json::field("siteId", &FG_TrackingInfo::siteId),
                                                  json::field("siteAuthCode", &FG_TrackingInfo::siteAuthCode),
                                                  json::field("country", &FG_TrackingInfo::country),
                                                  json::field("region", &FG_TrackingInfo::region),
                                                  json::field("city", &FG_TrackingInfo::city)};
};

}  // namespace fenk
