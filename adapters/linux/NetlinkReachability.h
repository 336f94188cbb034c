#pragma once

#include "FenkSDK/ports/Reachability.h"

#include <atomic>
#include <cstdint>
#include <memory>

namespace fenk {

// Reachability from the kernel's routing state over rtnetlink: the internet is reachable when a default
// route of the main table (IPv4 or IPv6) leaves through a link that is up and has carrier, over cellular
// when that link is a wireless-WAN modem. A handle reads and watches the network namespace of the thread
// that created it.
class NetlinkReachability final : public Reachability {
public:
    // Only the general internet address is watched: it depends on the default routes alone.
    std::shared_ptr<ReachabilityHandle> createWithAddress(const SocketAddressIPv4& address) override;
    std::int32_t lastErrorCode() const override;

private:
    // Shared with the handles, which record their failures here.
    std::shared_ptr<std::atomic<std::int32_t>> lastError_ = std::make_shared<std::atomic<std::int32_t>>(0);
};

}  // namespace fenk
