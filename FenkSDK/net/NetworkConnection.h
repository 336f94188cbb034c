#pragma once

#include "FenkSDK/Environment.h"
#include "FenkSDK/net/FenkReachability.h"

#include <memory>

namespace fenk {

// A monitor of the general internet address announcing on the main queue; null when the system gives
// no handle.
std::shared_ptr<FenkReachability> makeConnectionMonitor(const Environment& environment);

// Whether the internet can be reached right now, asked of a monitor made for the question. False when
// no monitor can be made.
bool isConnectedToNetwork(const Environment& environment);

}  // namespace fenk
