#pragma once

#include <optional>
#include <string>
#include <tuple>

#include "FenkSDK/api/Authenticate.h"
#include "FenkSDK/json/RecordCodec.h"

namespace fenk {

// The reply to an authentication request; `authenticate` carries the new token when `response` is "OK".
struct FG_AuthenticateBean {
    std::optional<std::string> response{};
    std::optional<Authenticate> authenticate{};
    std::optional<std::string> type{};

    static constexpr auto jsonFields = std::tuple{json::field("response", &FG_AuthenticateBean::response),
                                                  json::field("authenticate", &FG_AuthenticateBean::authenticate),
                                                  json::field("type", &FG_AuthenticateBean::type)};
};

}  // namespace fenk
