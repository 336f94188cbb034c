#include "FenkSDK/FenkManager.h"
#include "FenkSDK/net/FenkReachability.h"
#include "FenkSDK/ports/Dispatcher.h"
#include "adapters/fake/FakeEnvironment.h"
#include "adapters/fake/FakeReachability.h"
#include "adapters/linux/LinuxEnvironment.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>

using namespace std::chrono_literals;

namespace fenk {
namespace {

// A host like examples/hello: it installs nothing of its own and never runs an event loop, so the Linux
// environment's own main thread is all that carries connectivity changes to the manager.
TEST(DefaultEnvironmentTest, AConnectivityChangeReachesTheManagerWithoutAHostLoop) {
    TemporaryFolder data;
    auto environment = makeLinuxEnvironment(data.path());
    const auto network = std::make_shared<FakeReachability>(0);
    environment.reachability = network;
    Environment::install(environment);
    const auto manager = FenkManager::sharedManager();

    std::promise<bool> online;
    std::atomic<bool> announcedOnline{false};
    const auto observer = environment.notificationCenter->addObserver(
        FenkReachabilityChanged, manager->reachability().get(), [&](const Notification& note) {
            const bool onMainQueue = environment.dispatcher->mainQueue()->isCurrent();
            const auto monitor = note.object<FenkReachability>();
            if (monitor && monitor->connectionKind() == ConnectionKind::wifi && !announcedOnline.exchange(true)) {
                online.set_value(onMainQueue);
            }
        });
    network->report(ReachabilityFlag::reachable);
    auto onMainQueue = online.get_future();
    ASSERT_EQ(onMainQueue.wait_for(10s), std::future_status::ready) << "the change never reached the main queue";
    EXPECT_TRUE(onMainQueue.get());

    environment.notificationCenter->removeObserver(observer);
    FenkManager::resetSharedManager();
    // Its threads end with it: a later test that forks must not find them, nor a child destroy them.
    Environment::install(FakeEnvironment{}.environment());
}

}  // namespace
}  // namespace fenk
