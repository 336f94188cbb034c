#include "adapters/fake/FakeDispatcher.h"
#include "adapters/fake/FakeReachability.h"
#include "contract/ReachabilityContract.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

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

// A report already queued when the callback is replaced is dropped, not delivered late.
TEST(FakeReachability, QueuedReportsDieWithTheCallbackTheyWereFor) {
    FakeReachabilityDriver driver;
    const auto handle = driver.fake->createWithAddress(SocketAddressIPv4::anyAddress());
    const auto queue = driver.makeQueue();
    std::vector<ReachabilityFlags> stale;
    std::vector<ReachabilityFlags> current;
    handle->setCallback([&](ReachabilityFlags flags) { stale.push_back(flags); });
    handle->setDispatchQueue(queue);
    driver.fake->report(ReachabilityFlag::reachable);
    handle->setCallback([&](ReachabilityFlags flags) { current.push_back(flags); });
    driver.fake->report(0);
    driver.pump();
    EXPECT_TRUE(stale.empty());
    EXPECT_EQ(current, std::vector<ReachabilityFlags>{0});
}

}  // namespace

namespace contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, ReachabilityContract, FakeReachabilityDriver);
}  // namespace contract
}  // namespace fenk
