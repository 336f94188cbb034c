#pragma once

#include "FenkSDK/ports/Reachability.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace fenk {

// The operations of the reachability service a test can make fail.
enum class FakeReachabilityFault { creation, flagRead, callback, queue };

// A scripted network for tests. Every handle reads the current flags and reports each change on its
// attached queue; a refused operation fails, with the chosen error code, until allowed again.
class FakeReachability final : public Reachability {
public:
    explicit FakeReachability(ReachabilityFlags initial = ReachabilityFlag::reachable);

    std::shared_ptr<ReachabilityHandle> createWithAddress(const SocketAddressIPv4& address) override;
    std::int32_t lastErrorCode() const override;

    // Sets the current flags and has every watching handle report them, even when they did not change.
    void report(ReachabilityFlags flags);
    // Reports each of the flags in turn, as a link that comes and goes does.
    void flap(const std::vector<ReachabilityFlags>& sequence);
    void refuse(FakeReachabilityFault fault, std::int32_t errorCode);
    void allow(FakeReachabilityFault fault);

    struct Network;

private:
    std::shared_ptr<Network> network_;
};

}  // namespace fenk
