#pragma once

#include <optional>
#include <string>
#include <tuple>

#include "FenkSDK/json/RecordCodec.h"

namespace fenk {

// What the platform issues when it creates the anonymous user: the user's id and the first token pair.
struct FG_MobileData {
    std::optional<std::string> resourceId{};
    std::optional<std::string> token{};
    std::optional<std::string> refreshToken{};

    static constexpr auto jsonFields = std::tuple{json::field("resourceId", &FG_MobileData::resourceId),
                                                  json::field("token", &FG_MobileData::token),
                                                  json::field("refreshToken", &FG_MobileData::refreshToken)};
};

}  // namespace fenk
