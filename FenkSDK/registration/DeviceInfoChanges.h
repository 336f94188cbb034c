#pragma once

#include "FenkSDK/api/FG_Account.h"
#include "FenkSDK/api/RequestParameters.h"
#include "FenkSDK/ports/Device.h"

#include <optional>
#include <string>

namespace fenk {

// The user fields to send so that the platform's copy of the device facts matches the device: only what
// differs from `account` (everything when there is no account). Device facts ("version", "device",
// "notificationsToken") compare with the account's mobile fields; "carrier", "countryCode", "adId" and
// "versionName" with the account's extra entries (the last value of a name counts; an entry without value
// counts as absent). Without extra entries to compare with, a carrier and country are sent when known, the
// advertising id when not empty, the SDK version always. An empty result means nothing needs sending.
RequestParameters deviceInfoChanges(const std::optional<FG_Account>& account, const Device& device,
                                    const std::optional<std::string>& storedNotificationsToken);

}  // namespace fenk
