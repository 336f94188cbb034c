#pragma once

#include <optional>
#include <string>
#include <tuple>

#include "FenkSDK/json/RecordCodec.h"

namespace fenk {

// Where a list reply sits in the whole list; the platform sends the numbers as text.
struct FG_Paging {
    std::optional<std::string> items{};
    std::optional<std::string> totalItems{};
    std::optional<std::string> offset{};

    static constexpr auto jsonFields = std::tuple{json::field("items", &FG_Paging::items),
                                                  json::field("totalItems", &FG_Paging::totalItems),
                                                  json::field("offset", &FG_Paging::offset)};
};

}  // namespace fenk
