#pragma once

#include <optional>
#include <string>
#include <tuple>

#include "FenkSDK/json/RecordCodec.h"

namespace fenk {

// Country, region and city names of a device's whereabouts.
struct FG_Location {
    std::optional<std::string> country{};
    std::optional<std::string> region{};
    std::optional<std::string> city{};

    static constexpr auto jsonFields = std::tuple{json::field("country", &FG_Location::country),
                                                  json::field("region", &FG_Location::region),
                                                  json::field("city", &FG_Location::city)};
};

}  // namespace fenk
