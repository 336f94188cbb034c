#include "FenkSDK/net/FenkReachability.h"
#include "adapters/fake/FakeDispatcher.h"
#include "adapters/fake/FakeReachability.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace fenk {
namespace {

using namespace ReachabilityFlag;
using Case = FenkReachabilityError::Case;
using Kinds = std::vector<ConnectionKind>;

class FenkReachabilityTest : public ::testing::Test {
protected:
    FenkReachabilityTest() {
        center_->addObserver(FenkReachabilityChanged, nullptr, [this](const Notification& note) {
            if (!dispatcher_.mainQueue()->isCurrent()) ++announcedOffMainQueue_;
            announced_.push_back(note.object<FenkReachability>()->connectionKind());
        });
    }

    std::shared_ptr<FenkReachability> makeMonitor(bool announceOnMainQueue = true) {
        auto created = FenkReachability::create(fake_, dispatcher_, center_, QualityOfService::defaultQoS,
                                                announceOnMainQueue ? dispatcher_.mainQueue() : nullptr);
        return std::get<std::shared_ptr<FenkReachability>>(created);
    }

    FakeDispatcher dispatcher_;
    std::shared_ptr<FakeReachability> fake_ = std::make_shared<FakeReachability>(reachable);
    std::shared_ptr<NotificationCenter> center_ = std::make_shared<NotificationCenter>();
    Kinds announced_;
    int announcedOffMainQueue_ = 0;
};

TEST_F(FenkReachabilityTest, DerivesTheKindAndTheTextFromTheFlags) {
    const struct {
        ReachabilityFlags flags;
        bool allowsCellular;
        ConnectionKind kind;
        const char* text;
    } cases[] = {
        {0, true, ConnectionKind::unavailable, "-- -------"},
        {reachable, true, ConnectionKind::wifi, "-R -------"},
        {isWWAN, true, ConnectionKind::unavailable, "W- -------"},
        {reachable | isWWAN, true, ConnectionKind::cellular, "WR -------"},
        {reachable | isWWAN, false, ConnectionKind::unavailable, "WR -------"},
        {reachable | connectionRequired, true, ConnectionKind::unavailable, "-R c------"},
        {reachable | connectionRequired | connectionOnDemand, true, ConnectionKind::wifi, "-R c---D--"},
        {reachable | connectionRequired | connectionOnTraffic, true, ConnectionKind::wifi, "-R c--C---"},
        {reachable | connectionRequired | connectionOnDemand | interventionRequired, true,
         ConnectionKind::unavailable, "-R c-i-D--"},
        {transientConnection | isLocalAddress | isDirect, true, ConnectionKind::unavailable, "-- -t---ld"},
    };
    for (const auto& c : cases) {
        fake_->report(c.flags);
        const auto monitor = makeMonitor();
        monitor->setAllowsCellularConnection(c.allowsCellular);
        EXPECT_EQ(monitor->connectionKind(), c.kind) << c.text;
        EXPECT_EQ(monitor->flagsText(), c.text);
    }
}

// Starting again while running changes nothing: even a subscription that would now fail is not renewed.
TEST_F(FenkReachabilityTest, AnnouncesTheFirstFlagsAndThenOnlyChanges) {
    const auto monitor = makeMonitor();
    int reachableCalls = 0;
    int unreachableCalls = 0;
    monitor->setWhenReachable([&](FenkReachability&) { ++reachableCalls; });
    monitor->setWhenUnreachable([&](FenkReachability&) { ++unreachableCalls; });

    ASSERT_FALSE(monitor->startWatching());
    fake_->refuse(FakeReachabilityFault::callback, 7);
    ASSERT_FALSE(monitor->startWatching());
    dispatcher_.runUntilIdle();
    fake_->flap({reachable, reachable, 0, 0});
    dispatcher_.runUntilIdle();
    fake_->flap({reachable | isWWAN, reachable | isWWAN});
    dispatcher_.runUntilIdle();

    EXPECT_EQ(announced_, (Kinds{ConnectionKind::wifi, ConnectionKind::unavailable, ConnectionKind::cellular}));
    EXPECT_EQ(reachableCalls, 2);
    EXPECT_EQ(unreachableCalls, 1);
    EXPECT_EQ(announcedOffMainQueue_, 0);
}

TEST_F(FenkReachabilityTest, WithoutANotificationQueueAnnouncesAtOnce) {
    EXPECT_EQ(makeMonitor(false)->connectionKind(), ConnectionKind::wifi);
    EXPECT_EQ(announced_, Kinds{ConnectionKind::wifi});
    EXPECT_EQ(announcedOffMainQueue_, 1);
}

// Whatever fails, the monitor ends idle and deaf to later changes, and reports the system's error code;
// flags it cannot read count as unavailable.
TEST_F(FenkReachabilityTest, FailuresLeaveTheMonitorIdle) {
    const struct {
        FakeReachabilityFault fault;
        bool startFirst;  // the fault hits a running monitor's refresh instead of its start
        Case expected;
    } cases[] = {
        {FakeReachabilityFault::callback, false, Case::unableToSetCallback},
        {FakeReachabilityFault::queue, false, Case::unableToSetDispatchQueue},
        {FakeReachabilityFault::flagRead, false, Case::unableToGetFlags},
        {FakeReachabilityFault::flagRead, true, Case::unableToGetFlags},
    };
    for (const auto& c : cases) {
        fake_ = std::make_shared<FakeReachability>(0);
        const auto monitor = makeMonitor();
        if (c.startFirst) {
            ASSERT_FALSE(monitor->startWatching());
        }
        fake_->refuse(c.fault, 42);
        const auto error = c.startFirst ? monitor->refreshFlags() : monitor->startWatching();
        EXPECT_EQ(error, (FenkReachabilityError{c.expected, 42, {}}));
        EXPECT_FALSE(monitor->notifierRunning());
        EXPECT_EQ(monitor->connectionKind(), ConnectionKind::unavailable);
        fake_->report(reachable);
        dispatcher_.runUntilIdle();
    }
    EXPECT_EQ(std::ranges::count(announced_, ConnectionKind::wifi), 0);
}

TEST_F(FenkReachabilityTest, CreationFailsWhenTheSystemGivesNoHandle) {
    fake_->refuse(FakeReachabilityFault::creation, 9);
    const auto created = FenkReachability::create(fake_, dispatcher_, center_, QualityOfService::defaultQoS, nullptr);
    const FenkReachabilityError expected{Case::failedToCreateWithAddress, 9, SocketAddressIPv4::anyAddress()};
    EXPECT_EQ(std::get<FenkReachabilityError>(created), expected);
}

TEST_F(FenkReachabilityTest, AReleasedMonitorIgnoresWhatWasStillQueuedForIt) {
    auto monitor = makeMonitor();
    ASSERT_FALSE(monitor->startWatching());  // its first announcement now waits on the main queue
    fake_->report(0);                         // and a report on its serial queue
    monitor.reset();
    dispatcher_.runUntilIdle();
    EXPECT_TRUE(announced_.empty());

    fake_->report(reachable);  // released means stopped: nothing is queued any more
    EXPECT_EQ(dispatcher_.pendingTasks(), 0u);
}

}  // namespace
}  // namespace fenk
