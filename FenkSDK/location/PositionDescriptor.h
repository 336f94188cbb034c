#pragma once

#include "FenkSDK/location/StoredLocation.h"
#include "FenkSDK/net/FenkReachability.h"

#include <optional>
#include <string>

namespace fenk {

// The text the platform files with an uploaded position: "time:<arrival, whole seconds since 1970>", then
// ",tag:", ",speed:", ",altitude:", ",accuracy:", ",bearing:", ",dwelltime:" for what is known, and the link
// the device is on (",network_lan:Wifi" or ",network_lan:Cell"; nothing when offline or unknown).
// Numbers are rounded as "%.0f" rounds them, whatever the process locale.
std::string describePosition(const StoredLocation& record, const std::optional<std::string>& placeTag,
                             double dwellSeconds, std::optional<ConnectionKind> link);

// Seconds between arrival and departure of a closed record with both known, never negative; 0 otherwise.
double dwellSeconds(const StoredLocation& record);

}  // namespace fenk
