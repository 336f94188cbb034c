#pragma once

#include <string_view>

namespace fenk {

// Fixed values the registration sends. The interface name of every call, kPlatformApiName, lives with the
// authentication request (FenkSDK/api/AuthenticationRequest.h).

// Version of this SDK, reported to the platform as `versionName` in the device information.
inline constexpr std::string_view kSdkVersionName = "2.0.5";
// Platform name (`i_platform`) of a new anonymous user.
inline constexpr std::string_view kPlatformName = "ios";
// Interface version (`version`) of a new authentication record.
inline constexpr std::string_view kAuthenticationVersion = "1.0";

}  // namespace fenk
