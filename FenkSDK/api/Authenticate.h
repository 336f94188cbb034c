#pragma once

#include <optional>
#include <string>
#include <tuple>

#include "FenkSDK/json/RecordCodec.h"

namespace fenk {

// The credentials an authentication reply hands out.
struct Authenticate {
    std::optional<std::string> resourceId{};
    std::optional<std::string> serializerClass{};
    std::optional<std::string> token{};

    static constexpr auto jsonFields = std::tuple{json::field("resourceId", &Authenticate::resourceId),
                                                  json::field("serializerClass", &Authenticate::serializerClass),
                                                  json::field("token", &Authenticate::token)};
};

}  // namespace fenk
