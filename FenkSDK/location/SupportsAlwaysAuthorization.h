#pragma once

#include <string_view>

namespace fenk {

// Whether a system of this version can grant location access at all times: true when the whole text is one
// decimal number of at least 8.0 ("9.3", "8"); a version with two dots ("11.0.1") is not one number.
bool supportsAlwaysAuthorization(std::string_view systemVersion);

}  // namespace fenk
