#pragma once

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "FenkSDK/api/FG_Extra.h"
#include "FenkSDK/json/RecordCodec.h"

namespace fenk {

// A place near the user, as the nearby-places reply lists it.
struct FG_DTSPlace {
    std::optional<std::string> id{};
    std::optional<std::string> name{};
    std::optional<std::string> tag{};
    std::optional<std::string> geohash{};
    std::optional<std::vector<FG_Extra>> extras{};

    static constexpr auto jsonFields = std::tuple{json::field("id", &FG_DTSPlace::id),
                                                  json::field("name", &FG_DTSPlace::name),
                                                  json::field("tag", &FG_DTSPlace::tag),
                                                  json::field("geohash", &FG_DTSPlace::geohash),
                                                  json::field("extras", &FG_DTSPlace::extras)};
};

}  // namespace fenk
