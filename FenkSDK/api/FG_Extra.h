#pragma once

#include <optional>
#include <string>
#include <tuple>

#include "FenkSDK/json/RecordCodec.h"

namespace fenk {

// A name/value pair: the app parameters and the account's extra facts are lists of these.
struct FG_Extra {
    std::optional<std::string> name{};
    std::optional<std::string> value{};

    static constexpr auto jsonFields = std::tuple{json::field("name", &FG_Extra::name),
                                                  json::field("value", &FG_Extra::value)};
};

}  // namespace fenk
