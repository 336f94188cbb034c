#include "FenkSDK/FenkManager.h"

#include "FenkSDK/net/FenkReachability.h"
#include "adapters/fake/FakeEnvironment.h"
#include "support/ConsoleCapture.h"

#include <gtest/gtest.h>

#include <thread>

using namespace std::chrono_literals;

namespace fenk {
namespace {

class FenkManagerTest : public testing::Test {
protected:
    void SetUp() override { Environment::install(fakes.environment()); }
    void TearDown() override { FenkManager::resetSharedManager(); }

    FakeEnvironment fakes;
};

TEST_F(FenkManagerTest, ConcurrentFirstCallsShareOneInstance) {
    std::shared_ptr<FenkManager> first;
    std::shared_ptr<FenkManager> second;
    std::thread a([&] { first = FenkManager::sharedManager(); });
    std::thread b([&] { second = FenkManager::sharedManager(); });
    a.join();
    b.join();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(FenkManager::sharedManager(), first);
}

TEST_F(FenkManagerTest, BuildsItsQueuesAndWatchesConnectivity) {
    const auto manager = FenkManager::sharedManager();
    EXPECT_EQ(manager->fenkQueue()->label(), "com.fenk.fenkQueue");
    EXPECT_EQ(manager->fenkPositionsQueue()->label(), "com.fenk.feQPositions");
    ASSERT_NE(manager->reachability(), nullptr);
    EXPECT_TRUE(manager->reachability()->notifierRunning());
    EXPECT_FALSE(manager->runningRegistration().get());
}

TEST_F(FenkManagerTest, MonitorThatCannotStartIsReportedAndTheManagerWorksOn) {
    ConsoleCapture console;
    fakes.reachability->refuse(FakeReachabilityFault::callback, 5);
    const auto manager = FenkManager::sharedManager();
    EXPECT_EQ(console.lines(), std::vector<std::string>{"could not start reachability notifier"});
    EXPECT_FALSE(manager->reachability()->notifierRunning());
    EXPECT_TRUE(manager->isConnectedToNetwork());
}

TEST_F(FenkManagerTest, MonitorThatCannotBeCreatedLeavesAWorkingManager) {
    ConsoleCapture console;
    fakes.reachability->refuse(FakeReachabilityFault::creation, 7);
    const auto manager = FenkManager::sharedManager();
    EXPECT_EQ(manager->reachability(), nullptr);
    EXPECT_FALSE(console.lines().empty());
    EXPECT_FALSE(manager->isConnectedToNetwork());
}

TEST_F(FenkManagerTest, IsConnectedToNetworkFollowsTheLink) {
    const auto manager = FenkManager::sharedManager();
    const struct {
        ReachabilityFlags flags;
        bool connected;
    } cases[] = {{ReachabilityFlag::reachable, true},
                 {ReachabilityFlag::reachable | ReachabilityFlag::isWWAN, true},
                 {0, false},
                 {ReachabilityFlag::reachable | ReachabilityFlag::connectionRequired, false}};
    for (const auto& c : cases) {
        fakes.reachability->report(c.flags);
        EXPECT_EQ(manager->isConnectedToNetwork(), c.connected) << "flags " << c.flags;
    }
}

TEST_F(FenkManagerTest, LaunchOptionsDecideWhetherTheLaunchCameFromANotification) {
    const auto manager = FenkManager::sharedManager();
    const struct {
        UserInfo options;
        bool fromNotification;
    } cases[] = {
        {{{std::string(ApplicationLaunchOptionsRemoteNotificationKey), UserInfo{}}}, true},
        {{{std::string(ApplicationLaunchOptionsLocationKey), true}}, false},
        {{}, false},
    };
    for (const auto& c : cases) {
        fakes.application->didFinishLaunching(c.options);
        EXPECT_EQ(manager->launchedNotification(), c.fromNotification);
    }
    manager->onDidFinishLaunching(nullptr);
    EXPECT_FALSE(manager->launchedNotification());
}

TEST_F(FenkManagerTest, ClosingTheBrowserClearsCheckingAtOnceAndChecksOneSecondLater) {
    const auto manager = FenkManager::sharedManager();
    fakes.dispatcher->runUntilIdle();
    manager->setChecking(true);
    manager->safariViewControllerDidFinish();
    EXPECT_FALSE(manager->isChecking());
    fakes.dispatcher->advance(999ms);
    EXPECT_EQ(fakes.dispatcher->pendingTasks(), 1u);  // the delayed check, still waiting
    fakes.dispatcher->advance(1ms);
    EXPECT_EQ(fakes.dispatcher->pendingTasks(), 0u);
}

TEST_F(FenkManagerTest, ReleasedManagerStopsWatchingAndIgnoresLaterNotifications) {
    auto manager = FenkManager::sharedManager();
    const std::weak_ptr<FenkReachability> monitor = manager->reachability();
    manager.reset();
    FenkManager::resetSharedManager();
    EXPECT_TRUE(monitor.expired());
    fakes.application->didBecomeActive();  // no observer left to reach a destroyed manager
    fakes.reachability->report(0);
    fakes.dispatcher->runUntilIdle();
}

}  // namespace
}  // namespace fenk
