#include "FenkSDK/FenkManager.h"
#include "FenkSDK/UserDefault.h"
#include "FenkSDK/ports/Dispatcher.h"
#include "adapters/fake/FakeEnvironment.h"
#include "adapters/linux/ThreadDispatcher.h"
#include "support/ScriptedPlatform.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <mutex>
#include <string>
#include <thread>

using namespace std::chrono_literals;

namespace fenk {
namespace {

// Starts an operation and waits for its completion, failing the test when none comes in time; a second
// completion would throw and end the test. A late completion finds its promise still alive.
template <class Operation>
void await(Operation operation) {
    const auto completed = std::make_shared<std::promise<void>>();
    operation([completed](auto&&...) { completed->set_value(); });
    ASSERT_EQ(completed->get_future().wait_for(60s), std::future_status::ready);
}

// Hands each reply back after a number of extra trips through the global queue (0, 1, 2, 0, ...), so that
// later replies overtake earlier ones without any wall-clock delay.
class OvertakingHttp final : public Http {
public:
    OvertakingHttp(std::shared_ptr<Http> client, std::shared_ptr<DispatchQueue> queue)
        : client_(std::move(client)), queue_(std::move(queue)) {}

    void send(HttpRequest request, Completion completion) override {
        client_->send(std::move(request), [queue = queue_, hops = sent_++ % 3, completion = std::move(completion)](
                                              std::optional<Data> body, std::optional<HttpResponse> response,
                                              std::optional<HttpError> error) {
            deliverAfter(queue, hops, [=] { completion(body, response, error); });
        });
    }

private:
    static void deliverAfter(const std::shared_ptr<DispatchQueue>& queue, int hops, const Task& deliver) {
        if (hops == 0) return deliver();
        queue->async([queue, hops, deliver] { deliverAfter(queue, hops - 1, deliver); });
    }

    std::shared_ptr<Http> client_;
    std::shared_ptr<DispatchQueue> queue_;
    std::atomic<int> sent_{0};
};

TEST(RegistrationStress, RacingRegistrationsTokensAndChecksLoseNoTokenAndLeaveNoFlagSet) {
    constexpr int kRounds = 20;
    const auto dispatcher = std::make_shared<ThreadDispatcher>();
    const auto http = std::make_shared<FakeHttp>(dispatcher);
    // Shared with the platform: work still under way when the test ends may send one more request.
    struct ReceivedToken {
        std::mutex mutex;
        std::string token;  // the notifications token the platform received last
    };
    const auto received = std::make_shared<ReceivedToken>();
    http->setAutoReply([received, platform = scriptedPlatform()](const HttpRequest& request) {
        std::lock_guard lock(received->mutex);
        const std::string body(asText(request.body));
        if (const auto at = body.find("notificationsToken="); at != std::string::npos) {
            received->token = body.substr(at + 19, body.find('&', at) - at - 19);
        }
        return platform(request);
    });
    FakeEnvironment fakes;
    Environment environment = fakes.environment();
    environment.dispatcher = dispatcher;
    environment.http = std::make_shared<OvertakingHttp>(http, dispatcher->globalQueue());
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
        std::lock_guard lock(received->mutex);
        EXPECT_EQ(received->token, "token-last");
    }

    manager.reset();
    FenkManager::resetSharedManager();
    Environment::install(FakeEnvironment{}.environment());  // nothing of this test stays installed
}

}  // namespace
}  // namespace fenk
