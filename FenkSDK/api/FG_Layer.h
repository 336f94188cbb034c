#pragma once

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "FenkSDK/api/FG_Extra.h"
#include "FenkSDK/json/RecordCodec.h"

namespace fenk {

// A named collection of places. `totalPlaces` is a number the platform sends as text.
struct FG_Layer {
    std::optional<std::string> resourceId{};
    std::optional<std::string> name{};
    std::optional<std::string> descript{};
    std::optional<std::string> url{};
    std::optional<std::string> icon{};
    std::optional<std::vector<FG_Extra>> extra{};
    std::optional<std::string> totalPlaces{};

    static constexpr auto jsonFields = std::tuple{json::field("resourceId", &FG_Layer::resourceId),
                                                  json::field("name", &FG_Layer::name),
                                                  json::field("descript", &FG_Layer::descript),
                                                  json::field("url", &FG_Layer::url),
                                                  json::field("icon", &FG_Layer::icon),
                                                  json::field("extra", &FG_Layer::extra),
                                                  json::field("totalPlaces", &FG_Layer::totalPlaces)};
};

}  // namespace fenk
