#pragma once

#include "FenkSDK/net/FenkReachability.h"
#include "FenkSDK/runtime/Environment.h"

#include <functional>
#include <memory>

namespace fenk {

// A monitor of the general internet address announcing on the main queue; null when the system gives
// no handle.
std::shared_ptr<FenkReachability> makeConnectionMonitor(const Environment& environment);

// Whether the internet can be reached right now, read once from the system. False when it gives no
// handle for the question.
bool isConnectedToNetwork(const Environment& environment);

// The same question asked often: a running monitor already knows the answer, so the system is read only
// while none runs.
std::function<bool()> connectivityCheck(Environment environment, std::weak_ptr<FenkReachability> monitor);

}  // namespace fenk
