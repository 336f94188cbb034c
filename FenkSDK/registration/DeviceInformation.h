#pragma once

#include "FenkSDK/ports/Device.h"

#include <optional>
#include <string>
#include <string_view>

namespace fenk {

// The `extra` text of a new user: "adId:<id>," when there is an advertising id, then either
// "carrier:<name>[,countryCode:<code>],versionName:2.0.5" or, without a carrier name, "versionName:2.0.5".
std::string deviceInformation(std::string_view advertisingIdentifier, const std::optional<Carrier>& carrier);

}  // namespace fenk
