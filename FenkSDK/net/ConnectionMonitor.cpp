#include "FenkSDK/net/ConnectionMonitor.h"

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
    // What a fresh monitor would answer after one read. Its first-read announcement could never post (the
    // monitor is gone before it runs), so the monitor itself, with its queue and thread, is not needed.
    const auto handle = environment.reachability->createWithAddress(SocketAddressIPv4::anyAddress());
    return handle && connectionKindOf(handle->flags(), true) != ConnectionKind::unavailable;
}

std::function<bool()> connectivityCheck(Environment environment, std::weak_ptr<FenkReachability> monitor) {
    return [environment = std::move(environment), monitor = std::move(monitor)] {
        if (const auto running = monitor.lock(); running && running->notifierRunning()) {
            return running->connectionKind() != ConnectionKind::unavailable;
        }
        return isConnectedToNetwork(environment);
    };
}

}  // namespace fenk
