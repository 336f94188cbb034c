#pragma once

#include <optional>
#include <string>
#include <tuple>

#include "FenkSDK/json/RecordCodec.h"

namespace fenk {

// A group the user can join; the description travels under "description".
struct FG_GroupData {
    std::optional<std::string> resourceId{};
    std::optional<std::string> name{};
    std::optional<std::string> descripcion{};
    std::optional<std::string> subscription{};

    static constexpr auto jsonFields = std::tuple{json::field("resourceId", &FG_GroupData::resourceId),
                                                  json::field("name", &FG_GroupData::name),
                                                  json::field("description", &FG_GroupData::descripcion),
                                                  json::field("subscription", &FG_GroupData::subscription)};
};

}  // namespace fenk
