#pragma once

#include <optional>
#include <string>
#include <tuple>

#include "FenkSDK/json/RecordCodec.h"

namespace fenk {

// A resource described for display. No reply the SDK decodes carries one, so it simply travels under the
// names of its fields, `resourceId` included.
struct FG_Resource {
    std::optional<std::string> resourceId{};
    std::optional<std::string> name{};
    std::optional<std::string> description{};
    std::optional<std::string> type{};
    std::optional<std::string> url{};
    std::optional<std::string> counter{};

    static constexpr auto jsonFields = std::tuple{json::field("resourceId", &FG_Resource::resourceId),
                                                  json::field("name", &FG_Resource::name),
                                                  json::field("description", &FG_Resource::description),
                                                  json::field("type", &FG_Resource::type),
                                                  json::field("url", &FG_Resource::url),
                                                  json::field("counter", &FG_Resource::counter)};
};

}  // namespace fenk
