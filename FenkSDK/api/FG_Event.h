#pragma once

#include <optional>
#include <string>
#include <tuple>

#include "FenkSDK/json/RecordCodec.h"

namespace fenk {

// A time window, its bounds as the platform writes them.
struct FG_Event {
    std::optional<std::string> from{};
    std::optional<std::string> to{};

    static constexpr auto jsonFields = std::tuple{json::field("from", &FG_Event::from),
                                                  json::field("to", &FG_Event::to)};
};

}  // namespace fenk
