#pragma once

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "FenkSDK/api/FG_Event.h"
#include "FenkSDK/api/FG_Extra.h"
#include "FenkSDK/json/RecordCodec.h"

namespace fenk {

// A geohash cell and the place, tags and opening times attached to it.
struct FG_GeoHashCell {
    std::optional<std::string> resourceId{};
    std::optional<std::string> placeId{};
    std::optional<std::string> placeOSMType{};
    std::optional<std::string> tag{};
    std::optional<std::vector<FG_Event>> events{};
    std::optional<std::vector<FG_Extra>> metadata{};
    std::optional<std::string> timeFrom{};
    std::optional<std::string> timeTo{};
    std::optional<std::string> days{};

    static constexpr auto jsonFields = std::tuple{json::field("resourceId", &FG_GeoHashCell::resourceId),
                                                  json::field("placeId", &FG_GeoHashCell::placeId),
                                                  json::field("placeOSMType", &FG_GeoHashCell::placeOSMType),
                                                  json::field("tag", &FG_GeoHashCell::tag),
                                                  json::field("events", &FG_GeoHashCell::events),
                                                  json::field("metadata", &FG_GeoHashCell::metadata),
                                                  json::field("timeFrom", &FG_GeoHashCell::timeFrom),
                                                  json::field("timeTo", &FG_GeoHashCell::timeTo),
                                                  json::field("days", &FG_GeoHashCell::days)};
};

}  // namespace fenk
