#pragma once

#include <optional>
#include <string>
#include <tuple>

#include "FenkSDK/json/RecordCodec.h"

namespace fenk {

// A bare total, sent as text.
struct FG_Count {
    std::optional<std::string> totalItems{};

    static constexpr auto jsonFields = std::tuple{json::field("totalItems", &FG_Count::totalItems)};
};

}  // namespace fenk
