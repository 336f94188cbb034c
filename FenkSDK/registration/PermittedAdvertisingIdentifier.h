#pragma once

#include "FenkSDK/ports/Device.h"

#include <string>

namespace fenk {

// From this level on, the advertising identifier may only be used once the user authorised tracking.
inline constexpr SystemVersionLevel kTrackingConsentLevel{14, 0};

// The advertising identifier the SDK may send to the platform: empty from kTrackingConsentLevel on unless
// tracking is authorised, otherwise the device's identifier.
std::string permittedAdvertisingIdentifier(const Device& device);

}  // namespace fenk
