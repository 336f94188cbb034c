#pragma once

#include <optional>
#include <string>
#include <tuple>

#include "FenkSDK/json/RecordCodec.h"

namespace fenk {

// What every platform call needs to address the platform and prove who is calling; stored whole after
// each authentication.
struct FG_Authenticate {
    std::optional<std::string> platform{};  // base address, as the host gave it
    std::optional<std::string> version{};   // path segment of the platform's interface version
    std::optional<std::string> token{};     // current access token
    std::optional<std::string> api{};       // interface name

    static constexpr auto jsonFields = std::tuple{json::field("platform", &FG_Authenticate::platform),
                                                  json::field("version", &FG_Authenticate::version),
                                                  json::field("token", &FG_Authenticate::token),
                                                  json::field("api", &FG_Authenticate::api)};
};

}  // namespace fenk
