#pragma once

#include <optional>
#include <string>
#include <tuple>

#include "FenkSDK/json/RecordCodec.h"

namespace fenk {

// One resource a write service touched; write replies list one per affected resource.
struct FG_ResourceId {
    std::optional<std::string> resourceId{};

    static constexpr auto jsonFields = std::tuple{json::field("resourceId", &FG_ResourceId::resourceId)};
};

}  // namespace fenk
