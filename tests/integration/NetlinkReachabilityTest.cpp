#include "FenkSDK/net/FenkReachability.h"
#include "NetworkNamespace.h"
#include "adapters/linux/NetlinkReachability.h"
#include "adapters/linux/ThreadDispatcher.h"
#include "contract/ReachabilityContract.h"

#include <gtest/gtest.h>

#include <vector>

using namespace std::chrono_literals;

namespace fenk {
namespace {

using contract::Network;

// A namespace of its own with two links that are up and addressed but carry no default route: "veth0",
// an ordinary Ethernet pair, and "wwan0", named as a wireless-WAN modem. The network is then chosen by
// pointing the default route at one of them. Without IPv6 addresses the kernel sends nothing by itself.
class NetlinkReachabilityDriver {
public:
    NetlinkReachabilityDriver() {
        if (namespace_.failure()) return;
        configured_ = ip("link add veth0 type veth peer name veth1") &&
                      ip("link add wwan0 type veth peer name wwan0p") && ip("addr add 192.0.2.1/25 dev veth0") &&
                      ip("addr add 192.0.2.129/25 dev wwan0");
        for (const char* link : {"veth0", "veth1", "wwan0", "wwan0p"}) {
            configured_ = configured_ && ip(std::string("link set addrgenmode none dev ") + link) &&
                          ip(std::string("link set up dev ") + link);
        }
        configured_ = configured_ && awaitRunning();
    }

    std::optional<std::string> unavailableReason() const {
        if (namespace_.failure()) return namespace_.failure();
        if (!configured_) return "the test links could not be configured with ip";
        return std::nullopt;
    }

    std::shared_ptr<Reachability> reachability() { return reachability_; }
    std::shared_ptr<DispatchQueue> makeQueue() {
        return dispatcher_.makeSerialQueue("contract", QualityOfService::utility);
    }
    Dispatcher& dispatcher() { return dispatcher_; }

    void setNetwork(Network network) {
        switch (network) {
        case Network::offline: ASSERT_TRUE(ip("route flush exact 0.0.0.0/0")); break;
        case Network::wifi: ASSERT_TRUE(ip("route replace default via 192.0.2.126 dev veth0")); break;
        case Network::cellular: ASSERT_TRUE(ip("route replace default via 192.0.2.254 dev wwan0")); break;
        }
    }

    void pump() {}
    Duration patience() const { return 5s; }

    static bool ip(const std::string& arguments) { return NetworkNamespace::ip(arguments); }

private:
    // The kernel marks a link running (carrier on) a moment after `ip` returns, from a work queue that a
    // busy machine may run late; a link not yet running carries no route, so every test waits for it.
    static bool awaitRunning() {
        return NetworkNamespace::run("for attempt in $(seq 500); do "
                                     "[ $(ip -o link show up | grep -c 'state UP') = 4 ] && exit 0; "
                                     "sleep 0.01; done; exit 1");
    }

    NetworkNamespace namespace_;  // entered first, left last
    bool configured_ = false;
    ThreadDispatcher dispatcher_;
    std::shared_ptr<NetlinkReachability> reachability_ = std::make_shared<NetlinkReachability>();
};

class NetlinkReachabilityMonitor : public ::testing::Test {
protected:
    void SetUp() override {
        if (const auto reason = driver_.unavailableReason()) GTEST_SKIP() << *reason;
    }

    std::shared_ptr<FenkReachability> makeMonitor(std::shared_ptr<DispatchQueue> notificationQueue) {
        auto created = FenkReachability::create(driver_.reachability(), driver_.dispatcher(), center_,
                                                QualityOfService::defaultQoS, std::move(notificationQueue));
        return std::get<std::shared_ptr<FenkReachability>>(created);
    }

    NetlinkReachabilityDriver driver_;
    std::shared_ptr<NotificationCenter> center_ = std::make_shared<NotificationCenter>();
};

TEST_F(NetlinkReachabilityMonitor, ConnectionKindFollowsTheBestDefaultRoute) {
    const struct {
        const char* change;
        ConnectionKind expected;
    } steps[] = {
        {"route flush exact 0.0.0.0/0", ConnectionKind::unavailable},
        {"-6 route add default dev veth0", ConnectionKind::wifi},
        {"-6 route del default dev veth0", ConnectionKind::unavailable},
        {"route add 198.51.100.0/24 via 192.0.2.126", ConnectionKind::unavailable},
        {"route add default via 192.0.2.254 dev wwan0 metric 10", ConnectionKind::cellular},
        {"route add default via 192.0.2.126 dev veth0 metric 5", ConnectionKind::wifi},
        {"route add default via 192.0.2.126 dev veth0 metric 5 table 100", ConnectionKind::wifi},
        {"route del default dev veth0 metric 5", ConnectionKind::cellular},
    };
    for (const auto& step : steps) {
        ASSERT_TRUE(NetlinkReachabilityDriver::ip(step.change)) << step.change;
        EXPECT_EQ(makeMonitor(nullptr)->connectionKind(), step.expected) << "after " << step.change;
    }
}

// One change that arrives as several messages is reported once: otherwise the report after it would not
// be the second one.
TEST_F(NetlinkReachabilityMonitor, ABurstOfMessagesIsReportedOnce) {
    const auto handle = driver_.reachability()->createWithAddress(SocketAddressIPv4::anyAddress());
    const auto queue = driver_.makeQueue();
    const auto log = std::make_shared<contract::ReportLog>();
    ASSERT_TRUE(handle->setCallback(log->callbackFor(queue)));
    ASSERT_TRUE(handle->setDispatchQueue(queue));

    ASSERT_TRUE(NetworkNamespace::run("printf 'route add 198.51.100.0/24 via 192.0.2.126\\n"
                                      "route add 203.0.113.0/24 via 192.0.2.126\\n"
                                      "route add default via 192.0.2.126\\n' | ip -batch -"));
    ASSERT_TRUE(log->waitFor([](const auto& reports) { return !reports.empty(); }, driver_.patience()));
    driver_.setNetwork(Network::cellular);
    ASSERT_TRUE(log->waitFor([](const auto& reports) { return reports.size() >= 2; }, driver_.patience()));
    const auto reports = log->reports();
    EXPECT_EQ(contract::kindBits(reports[0].flags), ReachabilityFlag::reachable);
    EXPECT_EQ(contract::kindBits(reports[1].flags), ReachabilityFlag::reachable | ReachabilityFlag::isWWAN);
    handle->setDispatchQueue(nullptr);
    queue->sync([] {});
    EXPECT_EQ(log->reports().size(), 2u);
}

// A route that appears and a link that loses its carrier are each announced exactly once: each step waits
// for its own announcement, and one too many would show up in the next step's place.
TEST_F(NetlinkReachabilityMonitor, EachChangeIsAnnouncedOnce) {
    const auto announcements = driver_.dispatcher().makeSerialQueue("announcements", QualityOfService::utility);
    const auto log = std::make_shared<contract::ReportLog>();  // the flags of each announcement
    const auto record = log->callbackFor(announcements);
    const auto observer = center_->addObserver(FenkReachabilityChanged, nullptr, [&](const Notification& note) {
        record(note.object<FenkReachability>()->flags().value_or(0));
    });
    const auto announced = [&](std::size_t count) {
        EXPECT_TRUE(log->waitFor([&](const auto& reports) { return reports.size() >= count; }, driver_.patience()));
        std::vector<ReachabilityFlags> flags;
        for (const auto& report : log->reports()) flags.push_back(report.flags);
        return flags;
    };

    const auto monitor = makeMonitor(announcements);
    ASSERT_FALSE(monitor->startWatching());
    EXPECT_EQ(announced(1), std::vector<ReachabilityFlags>{0});
    driver_.setNetwork(Network::wifi);
    EXPECT_EQ(announced(2), (std::vector<ReachabilityFlags>{0, ReachabilityFlag::reachable}));
    ASSERT_TRUE(NetlinkReachabilityDriver::ip("link set down dev veth1"));
    EXPECT_EQ(announced(3), (std::vector<ReachabilityFlags>{0, ReachabilityFlag::reachable, 0}));

    monitor->stopWatching();
    announcements->sync([] {});  // nothing of this monitor may run after the observer is gone
    center_->removeObserver(observer);
}

}  // namespace

namespace contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Netlink, ReachabilityContract, NetlinkReachabilityDriver);
}  // namespace contract
}  // namespace fenk
