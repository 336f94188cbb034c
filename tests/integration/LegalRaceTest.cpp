// Activations, registrations and permission answers racing over real threads: the legal page shows once.
#include "FenkSDK/FenkManager.h"
#include "FenkSDK/UserDefault.h"
#include "adapters/fake/FakeEnvironment.h"
#include "adapters/linux/ThreadDispatcher.h"
#include "support/ScriptedPlatform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <future>
#include <thread>

using namespace std::chrono_literals;

namespace fenk {
namespace {

constexpr int kActivations = 1000;

// Answers without arming time-outs, so that the dispatcher is idle as soon as the work is done.
class UntimedHttp final : public Http {
public:
    explicit UntimedHttp(std::shared_ptr<Http> client) : client_(std::move(client)) {}
    void send(HttpRequest request, Completion completion) override {
        request.timeout = {};
        client_->send(std::move(request), std::move(completion));
    }

private:
    std::shared_ptr<Http> client_;
};

TEST(LegalRace, EachActivationShowsOneLegalPageAtMost) {
    const auto dispatcher = std::make_shared<ThreadDispatcher>();
    FakeEnvironment fakes;
    Environment environment = fakes.environment();
    environment.dispatcher = dispatcher;
    const auto http = std::make_shared<FakeHttp>(dispatcher);
    // The owner asks for the terms on the web; the user never answers.
    http->setAutoReply(scriptedPlatform(
        {{"app-parameters", FakeHttpReply::text(R"({"response":"OK","data":[)"
                                                R"({"name":"userPermissionsWorkflow","value":"web"},)"
                                                R"({"name":"userLegal","value":"https://owner.example/terms"},)"
                                                R"({"name":"userLegalSumUp","value":"https://owner.example/summary"}]})")},
         {"user.info", FakeHttpReply::text(R"({"response":"OK","data":{"resourceId":"user-1","extra":[)"
                                           R"({"name":"permissionTracking","value":"no-response"}]}})")}}));
    environment.http = std::make_shared<UntimedHttp>(http);
    const auto ui = std::make_shared<RecordingUi>(dispatcher->mainQueue());
    environment.ui = ui;
    fakes.preferences->setString(settingsKeys::kKeyResourceId, "user-1");
    fakes.preferences->setBoolean(settingsKeys::kFenkActiveTracking, true);
    Environment::install(environment);
    auto manager = FenkManager::sharedManager();

    const auto legalScreens = [&] {
        std::vector<ScreenId> ids;
        dispatcher->mainQueue()->sync([&] {
            for (const auto& call : ui->callsOf(UiCall::Kind::present)) {
                if (std::holds_alternative<LegalScreen>(*call.screen)) ids.push_back(call.id);
            }
        });
        return ids;
    };
    std::size_t shownBefore = 0;
    for (int activation = 0; activation < kActivations; ++activation) {
        std::promise<void> registered;
        std::promise<void> answered;
        std::thread host([&] { fakes.application->didBecomeActive(); });
        std::thread registrar([&] {
            manager->registerDevice("KEY", "https://platform.example", true, [&](auto) { registered.set_value(); });
        });
        std::thread user([&] {
            manager->setUserPermission("permissionTracking", activation % 2 == 0, [&](bool) { answered.set_value(); });
        });
        host.join();
        registrar.join();
        user.join();
        ASSERT_EQ(registered.get_future().wait_for(30s), std::future_status::ready);
        ASSERT_EQ(answered.get_future().wait_for(30s), std::future_status::ready);
        ASSERT_TRUE(dispatcher->waitUntilIdle(30s));

        const auto shown = legalScreens();
        ASSERT_LE(shown.size(), shownBefore + 1) << "activation " << activation;
        EXPECT_EQ(manager->isChecking(), shown.size() > shownBefore);
        // The user closes it, so the next activation may ask again.
        if (shown.size() > shownBefore) {
            dispatcher->mainQueue()->sync([&] { ui->tap(shown.back(), Control::close); });
            ASSERT_TRUE(dispatcher->waitUntilIdle(30s));
        }
        shownBefore = shown.size();
    }
    EXPECT_GT(shownBefore, 0u);
    EXPECT_FALSE(manager->isChecking());

    manager.reset();
    FenkManager::resetSharedManager();
    dispatcher->waitUntilIdle(30s);
    Environment::install(FakeEnvironment{}.environment());  // nothing of this test stays installed
}

}  // namespace
}  // namespace fenk
