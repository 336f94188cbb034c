#pragma once

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "FenkSDK/api/FG_Event.h"
#include "FenkSDK/api/FG_Extra.h"
#include "FenkSDK/json/RecordCodec.h"

namespace fenk {

// A place of a layer. Coordinates, radius and distance are numbers the platform sends as text.
struct FG_Place {
    std::optional<std::string> resourceId{};
    std::optional<std::string> name{};
    std::optional<std::string> description{};
    std::optional<std::string> geohash{};
    std::optional<std::string> latitude{};
    std::optional<std::string> longitude{};
    std::optional<std::string> radius{};
    std::optional<std::string> url{};
    std::optional<std::string> distance{};
    std::optional<std::vector<FG_Extra>> extra{};
    std::optional<std::vector<FG_Event>> events{};
    std::optional<std::string> layerId{};

    static constexpr auto jsonFields = std::tuple{json::field("resourceId", &FG_Place::resourceId),
                                                  json::field("name", &FG_Place::name),
                                                  json::field("description", &FG_Place::description),
                                                  json::field("geohash", &FG_Place::geohash),
                                                  json::field("latitude", &FG_Place::latitude),
                                                  json::field("longitude", &FG_Place::longitude),
                                                  json::field("radius", &FG_Place::radius),
                                                  json::field("url", &FG_Place::url),
                                                  json::field("distance", &FG_Place::distance),
                                                  json::field("extra", &FG_Place::extra),
                                                  json::field("events", &FG_Place::events),
                                                  json::field("layerId", &FG_Place::layerId)};
};

}  // namespace fenk
