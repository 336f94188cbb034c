#include "FenkSDK/FenkManager.h"

#include "FenkSDK/UserDefault.h"
#include "FenkSDK/net/FenkReachability.h"
#include "adapters/fake/FakeEnvironment.h"
#include "support/ConsoleCapture.h"
#include "support/ScriptedPlatform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

using namespace std::chrono_literals;

namespace fenk {
namespace {

class FenkManagerTest : public testing::Test {
protected:
    void SetUp() override { Environment::install(fakes.environment()); }
    void TearDown() override { FenkManager::resetSharedManager(); }

    // A registered installation whose account is not stored yet: every tracking check that gets past its
    // guards asks the platform for the account, so the requests show whether the check ran.
    void storeRegisteredInstallation() {
        fakes.preferences->setString(settingsKeys::kKeyResourceId, "user-1");
        fakes.preferences->setString(settingsKeys::kKeyAppKey, "app-key");
        fakes.preferences->setString(settingsKeys::kKeyUrlPlatformUrl, "https://platform.example");
    }

    // Account reads are answered without an account, so none is ever stored and each check asks again.
    void answerAccountReadsWithNoAccount() {
        fakes.http->setAutoReply(scriptedPlatform({{"user.info", FakeHttpReply::text(R"({"response":"OK"})")}}));
    }

    std::size_t accountReads() const {
        const auto requests = fakes.http->requests();
        return static_cast<std::size_t>(std::ranges::count_if(
            requests, [](const HttpRequest& request) { return request.url.find("soa.api.user.info") != std::string::npos; }));
    }

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
    EXPECT_EQ(console.lines(), std::vector<std::string>{"could not create reachability notifier"});
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

TEST_F(FenkManagerTest, AnActivationRunsTheTrackingCheck) {
    storeRegisteredInstallation();
    answerAccountReadsWithNoAccount();
    const auto manager = FenkManager::sharedManager();
    fakes.dispatcher->runUntilIdle();
    ASSERT_EQ(accountReads(), 0u);
    fakes.application->didBecomeActive();
    fakes.dispatcher->runUntilIdle();
    EXPECT_EQ(accountReads(), 1u);
}

TEST_F(FenkManagerTest, TheEndOfARegistrationRunsTheTrackingCheck) {
    answerAccountReadsWithNoAccount();
    const auto manager = FenkManager::sharedManager();
    std::optional<std::string> resourceId;
    manager->registerDevice("app-key", "https://platform.example", true,
                            [&](std::optional<std::string> result) { resourceId = std::move(result); });
    fakes.dispatcher->runUntilIdle();
    EXPECT_EQ(resourceId, "new-user");
    // One read belongs to the registration itself, the second to the check that follows it.
    EXPECT_EQ(accountReads(), 2u);
}

TEST_F(FenkManagerTest, ReleasedManagerStopsWatchingAndIgnoresLaterNotifications) {
    storeRegisteredInstallation();
    answerAccountReadsWithNoAccount();
    auto manager = FenkManager::sharedManager();
    const std::weak_ptr<FenkReachability> monitor = manager->reachability();
    manager.reset();
    FenkManager::resetSharedManager();
    EXPECT_TRUE(monitor.expired());
    fakes.application->didBecomeActive();  // no observer left to reach a destroyed manager
    fakes.reachability->report(0);
    fakes.dispatcher->runUntilIdle();
    EXPECT_EQ(accountReads(), 0u);
    EXPECT_EQ(fakes.dispatcher->pendingTasks(), 0u);
}

}  // namespace
}  // namespace fenk
