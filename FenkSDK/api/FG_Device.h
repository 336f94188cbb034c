#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <tuple>

#include "FenkSDK/api/FG_Account.h"
#include "FenkSDK/api/FG_Location.h"
#include "FenkSDK/json/RecordCodec.h"

namespace fenk {

// A device as the platform records it: its account, when it last reported (a JSON number), and where
// it was.
struct FG_Device {
    std::optional<FG_Account> account{};
    std::optional<std::int64_t> lastUpdateTimestamp{};
    std::optional<std::string> triggerList{};
    std::optional<FG_Location> location{};

    static constexpr auto jsonFields = std::tuple{json::field("account", &FG_Device::account),
                                                  json::field("lastUpdateTimestamp", &FG_Device::lastUpdateTimestamp),
                                                  json::field("triggerList", &FG_Device::triggerList),
                                                  json::field("location", &FG_Device::location)};
};

}  // namespace fenk
