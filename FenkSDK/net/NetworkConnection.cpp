#include "FenkSDK/net/NetworkConnection.h"

#include "FenkSDK/ports/Dispatcher.h"

namespace fenk {

std::shared_ptr<FenkReachability> makeConnectionMonitor(const Environment& environment) {
    auto created = FenkReachability::create(environment.reachability, *environment.dispatcher,
                                            environment.notificationCenter, QualityOfService::defaultQoS,
                                            environment.dispatcher->mainQueue());
    auto* monitor = std::get_if<std::shared_ptr<FenkReachability>>(&created);
    return monitor ? *monitor : nullptr;
}

bool isConnectedToNetwork(const Environment& environment) {
    const auto monitor = makeConnectionMonitor(environment);
    return monitor && monitor->connectionKind() != ConnectionKind::unavailable;
}

}  // namespace fenk
