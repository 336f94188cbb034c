#include "FenkSDK/location/SupportsAlwaysAuthorization.h"

#include <charconv>
#include <cmath>

namespace fenk {

bool supportsAlwaysAuthorization(std::string_view systemVersion) {
    double version = 0;
    const char* const end = systemVersion.data() + systemVersion.size();
    const auto [stop, error] = std::from_chars(systemVersion.data(), end, version, std::chars_format::fixed);
    return error == std::errc() && stop == end && std::isfinite(version) && version >= 8.0;
}

}  // namespace fenk
