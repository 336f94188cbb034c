#pragma once

#include "FenkSDK/net/FenkReachability.h"
#include "FenkSDK/runtime/Environment.h"

#include <memory>

namespace fenk {

// A monitor of the general internet address announcing on the main queue; null when the system gives
// no handle.
std::shared_ptr<FenkReachability> makeConnectionMonitor(const Environment& environment);

// Whether the internet can be reached right now, read once from the system. False when it gives no
// handle for the question.
bool isConnectedToNetwork(const Environment& environment);

}  // namespace fenk
