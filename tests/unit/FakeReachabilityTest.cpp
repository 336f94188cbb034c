#include "adapters/fake/FakeDispatcher.h"
#include "adapters/fake/FakeReachability.h"
#include "contract/ReachabilityContract.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace fenk {
namespace {

using contract::Network;

struct FakeReachabilityDriver {
    std::shared_ptr<Reachability> reachability() { return fake; }
    std::shared_ptr<DispatchQueue> makeQueue() {
        return dispatcher.makeSerialQueue("contract", QualityOfService::utility);
    }

    void setNetwork(Network network) {
        switch (network) {
        case Network::offline: fake->report(0); break;
        case Network::wifi: fake->report(ReachabilityFlag::reachable); break;
        case Network::cellular: fake->report(ReachabilityFlag::reachable | ReachabilityFlag::isWWAN); break;
        }
    }

    void pump() { dispatcher.runUntilIdle(); }
    Duration patience() const { return Duration::zero(); }
    std::optional<std::string> unavailableReason() const { return std::nullopt; }

    FakeDispatcher dispatcher;
    std::shared_ptr<FakeReachability> fake = std::make_shared<FakeReachability>(0);
};

}  // namespace

namespace contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, ReachabilityContract, FakeReachabilityDriver);
}  // namespace contract
}  // namespace fenk
