#include "FenkSDK/FenkManager.h"
#include "FenkSDK/UserDefault.h"
#include "FenkSDK/ports/Dispatcher.h"
#include "adapters/fake/FakeEnvironment.h"
#include "adapters/linux/ThreadDispatcher.h"
#include "support/ScriptedPlatform.h"

#include <gtest/gtest.h>

#include <future>
#include <mutex>
#include <string>
#include <thread>

using namespace std::chrono_literals;

namespace fenk {
namespace {

// Starts an operation and waits for its completion; a second completion would throw and end the test.
template <class Operation>
void await(Operation operation) {
    std::promise<void> completed;
    operation([&completed](auto&&...) { completed.set_value(); });
    ASSERT_EQ(completed.get_future().wait_for(60s), std::future_status::ready);
}

TEST(RegistrationStress, RacingRegistrationsTokensAndChecksLoseNoTokenAndLeaveNoFlagSet) {
    constexpr int kRounds = 20;
    const auto dispatcher = std::make_shared<ThreadDispatcher>();
    const auto http = std::make_shared<FakeHttp>(dispatcher);
    std::mutex platformMutex;
    std::string platformToken;  // the notifications token the platform received last
    int replies = 0;
    http->setAutoReply([&, platform = scriptedPlatform()](const HttpRequest& request) {
        auto reply = platform(request);
        std::lock_guard lock(platformMutex);
        const std::string body(asText(request.body));
        if (const auto at = body.find("notificationsToken="); at != std::string::npos) {
            platformToken = body.substr(at + 19, body.find('&', at) - at - 19);
        }
        if (reply) reply->delay = std::chrono::milliseconds(replies++ % 3);  // flows overtake one another
        return reply;
    });
    FakeEnvironment fakes;
    Environment environment = fakes.environment();
    environment.dispatcher = dispatcher;
    environment.http = http;
    Environment::install(environment);
    auto manager = FenkManager::sharedManager();
    const auto registerDevice = [&](const char* platform) {
        await([&](auto done) { manager->registerDevice("KEY", platform, true, done); });
    };
    const auto setToken = [&](std::string token) {
        await([&](auto done) { manager->setNotificationsToken(std::move(token), done); });
    };

    std::vector<std::thread> callers;
    for (int registrar = 0; registrar < 2; ++registrar) {  // overlapping registrations, some rejected at once
        callers.emplace_back([&] {
            for (int i = 0; i < kRounds; ++i) registerDevice(i % 5 == 4 ? "not an address" : "https://platform.example");
        });
    }
    callers.emplace_back([&] {
        for (int i = 0; i < kRounds; ++i) setToken("token-" + std::to_string(i));
    });
    callers.emplace_back([&] {
        for (int i = 0; i < kRounds; ++i) manager->checkStartTracking();
    });
    for (auto& caller : callers) caller.join();
    EXPECT_FALSE(manager->runningRegistration().get());

    // A token set after the race, then the next registration's device update: the platform ends with it.
    setToken("token-last");
    registerDevice("https://platform.example");
    manager->fenkQueue()->sync([] {});
    EXPECT_FALSE(manager->runningRegistration().get());
    EXPECT_EQ(fakes.preferences->string(settingsKeys::kKeyNotificationsToken), "token-last");
    {
        std::lock_guard lock(platformMutex);
        EXPECT_EQ(platformToken, "token-last");
    }

    manager.reset();
    FenkManager::resetSharedManager();
    Environment::install(FakeEnvironment{}.environment());  // nothing of this test stays installed
}

}  // namespace
}  // namespace fenk
