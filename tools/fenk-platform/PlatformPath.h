#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fenk {

// Where a request to the platform's interface goes. The platform address may carry a path of its own, so
// anything before "/{version}/json/" is ignored:
//     …/{version}/json/auth/user
//     …/{version}/json/exec/{api}/{service}[/{resourceId}]
struct PlatformPath {
    enum class Kind { authentication, service };

    Kind kind = Kind::authentication;
    std::string version;
    std::string api;
    std::string service;
    std::optional<std::string> resourceId;  // an empty last segment counts as none
};

std::optional<PlatformPath> parsePlatformPath(std::string_view path);

}  // namespace fenk
