#include "FenkSDK/engagement/PushIntake.h"

#include "FenkSDK/FenkManager.h"
#include "FenkSDK/UserDefault.h"
#include "FenkSDK/engagement/PendingNotifications.h"
#include "FenkSDK/engagement/PushPayloadJson.h"
#include "adapters/fake/FakeEnvironment.h"
#include "support/ConsoleCapture.h"

#include <gtest/gtest.h>

#include <limits>

using namespace std::chrono_literals;

namespace fenk {
namespace {

UserInfo alert(std::string body) { return {{"alert", UserInfo{{"body", std::move(body)}}}}; }

// Text content: shown as a toast of its alert's body.
UserInfo textPayload(std::string body, std::optional<std::any> contentAvailable = std::nullopt) {
    UserInfo aps = alert(std::move(body));
    if (contentAvailable) aps.emplace("content-available", *contentAvailable);
    return {{"gType", std::string("text")}, {"aps", std::move(aps)}};
}

UserInfo linkPayload(std::any link) {
    return {{"gType", std::string("d2s-notification")}, {"d2s-link-url", std::move(link)}};
}

std::vector<std::string> bodies(const std::vector<FenkPushNotification>& contents) {
    std::vector<std::string> texts;
    for (const auto& content : contents) texts.push_back(content.aps->alert->body.value_or(""));
    return texts;
}

class PushIntakeTest : public testing::Test {
protected:
    std::vector<std::string> pendingBodies() const { return bodies(PendingNotifications(*fakes.preferences).list()); }

    FakeEnvironment fakes;
    std::vector<FenkPushNotification> presented;
    std::vector<std::string> opened;
    // What was pending at the moment each content was shown.
    std::vector<std::size_t> pendingWhenShown;
    std::shared_ptr<PushIntake> intake = std::make_shared<PushIntake>(PushIntake::Collaborators{
        .preferences = fakes.preferences,
        .application = fakes.application,
        .device = fakes.device,
        .mainQueue = fakes.dispatcher->mainQueue(),
        .notificationCenter = fakes.notificationCenter,
        .presentContent =
            [this](const FenkPushNotification& content) {
                presented.push_back(content);
                pendingWhenShown.push_back(pendingBodies().size());
            },
        .openWebPage = [this](const std::string& link) { opened.push_back(link); },
    });
};

TEST_F(PushIntakeTest, RoutesEachPayloadByItsTypeAndAps) {
    const struct {
        const char* name;
        UserInfo payload;
        bool active;
        std::vector<std::string> shown;
        std::vector<std::string> opened;
        std::vector<std::string> pending;
    } cases[] = {
        {"text", textPayload("hi"), true, {"hi"}, {}, {}},
        {"link", linkPayload(std::string("https://shop.example/a?b=c")), true, {}, {"https://shop.example/a?b=c"}, {}},
        {"script link", linkPayload(std::string("javascript:alert(1)")), true, {}, {}, {}},
        {"link not text", linkPayload(42), true, {}, {}, {}},
        {"link type without link", {{"gType", std::string("d2s-notification")}, {"aps", alert("hi")}}, true, {}, {}, {}},
        {"image without aps", {{"gType", std::string("image")}, {"gSourceImagePortrait", std::string("https://a.example/p.png")}},
         true, {}, {}, {}},
        {"type not text", {{"gType", 1}, {"aps", alert("hi")}}, true, {}, {}, {}},
        {"aps not a dictionary", {{"gType", std::string("text")}, {"aps", std::string("hi")}}, true, {}, {}, {}},
        {"silent while active", textPayload("hi", 1), true, {}, {}, {}},
        {"silent in the background", textPayload("hi", 1), false, {}, {}, {"hi"}},
        {"silent as true", textPayload("hi", true), false, {}, {}, {"hi"}},
        {"content-available 0", textPayload("hi", 0), false, {"hi"}, {}, {}},
        {"content-available as text", textPayload("hi", std::string("1")), false, {"hi"}, {}, {}},
        {"alert as text", {{"gType", std::string("text")}, {"aps", UserInfo{{"alert", std::string("hi")}}}}, true, {}, {}, {}},
        {"silent alert as text",
         {{"gType", std::string("text")}, {"aps", UserInfo{{"alert", std::string("hi")}, {"content-available", 1}}}},
         false, {}, {}, {}},
        {"not JSON", {{"gType", std::string("text")}, {"aps", alert("hi")}, {"x", std::numeric_limits<double>::infinity()}},
         true, {}, {}, {}},
        {"silent not JSON", {{"gType", std::string("text")}, {"aps", textPayload("hi", 1)["aps"]}, {"x", std::numeric_limits<double>::quiet_NaN()}},
         false, {}, {}, {}},
        {"empty", {}, true, {}, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fakes.preferences->remove(settingsKeys::kFenkPendingNotification);
        presented.clear();
        opened.clear();
        c.active ? fakes.application->didBecomeActive() : fakes.application->didEnterBackground();
        intake->handlePushNotification(c.payload);
        EXPECT_EQ(bodies(presented), c.shown);
        EXPECT_EQ(opened, c.opened);
        EXPECT_EQ(pendingBodies(), c.pending);
    }
}

TEST_F(PushIntakeTest, JsonTextThatIsNotAPayloadIsIgnoredWithAConsoleLine) {
    const struct {
        std::string json;
        std::vector<std::string> shown;
    } cases[] = {
        {R"({"gType":"text","aps":{"alert":{"body":"hi"}}})", {"hi"}},
        {R"(["gType","text"])", {}},
        {R"({"gType":"text","aps":{"alert":{"body":")" + std::string(kMaxPushPayloadBytes, 'a') + "\"}}}", {}},
    };
    for (const auto& c : cases) {
        ConsoleCapture console;
        presented.clear();
        intake->handlePushNotificationJson(c.json);
        EXPECT_EQ(bodies(presented), c.shown);
        EXPECT_EQ(console.lines().size(), c.shown.empty() ? 1u : 0u);
    }
}

TEST_F(PushIntakeTest, ThePendingListKeepsTheLatest64) {
    ConsoleCapture console;
    for (int index = 0; index <= 64; ++index) intake->handlePushNotification(textPayload(std::to_string(index), 1));
    const auto pending = pendingBodies();
    ASSERT_EQ(pending.size(), PendingNotifications::kCapacity);
    EXPECT_EQ(pending.front(), "1");
    EXPECT_EQ(pending.back(), "64");
    EXPECT_EQ(console.lines(), std::vector<std::string>{"pending push contents are full: the oldest was dropped"});
}

// Content that breaks whoever shows it must not come back at every activation: it leaves the store first.
TEST_F(PushIntakeTest, PendingContentLeavesTheStoreBeforeItShows) {
    ConsoleCapture console;
    intake->handlePushNotification(textPayload("one", 1));
    intake->handlePushNotification(textPayload("two", 1));

    fakes.preferences->failNextWrite();
    intake->showPendingNotification();
    EXPECT_TRUE(presented.empty());
    EXPECT_EQ(pendingBodies(), (std::vector<std::string>{"one", "two"}));

    intake->showPendingNotification();
    intake->showPendingNotification();
    intake->showPendingNotification();
    EXPECT_EQ(bodies(presented), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(pendingWhenShown, (std::vector<std::size_t>{1, 0}));
    EXPECT_TRUE(pendingBodies().empty());
}

// --- Through the manager, across activations and launches -------------------------------------------------

class ManagerPushTest : public testing::Test {
protected:
    void SetUp() override { Environment::install(fakes.environment()); }
    void TearDown() override { FenkManager::resetSharedManager(); }

    // A new process over the same settings: a new manager, launched with these options.
    std::shared_ptr<FenkManager> launch(UserInfo options = {}) {
        FenkManager::resetSharedManager();
        auto manager = FenkManager::sharedManager();
        fakes.application->didFinishLaunching(std::move(options));
        fakes.dispatcher->runUntilIdle();
        return manager;
    }

    void activate() {
        fakes.application->didBecomeActive();
        fakes.dispatcher->advance(10s);  // the toast has come and gone
    }

    std::vector<std::string> toasts() const {
        std::vector<std::string> messages;
        for (const auto& call : fakes.ui->callsOf(UiCall::Kind::showToast)) messages.push_back(call.toast->message.value_or(""));
        return messages;
    }

    FakeEnvironment fakes;
};

TEST_F(ManagerPushTest, PendingContentShowsOnePerActivationAcrossARelaunch) {
    auto manager = launch();
    fakes.application->didEnterBackground();
    for (const char* body : {"one", "two", "three"}) manager->handlePushNotification(textPayload(body, 1));
    fakes.dispatcher->runUntilIdle();
    EXPECT_TRUE(toasts().empty());

    activate();
    EXPECT_EQ(toasts(), std::vector<std::string>{"one"});
    manager = launch();
    activate();
    activate();
    activate();
    EXPECT_EQ(toasts(), (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_TRUE(fakes.preferences->dataArray(settingsKeys::kFenkPendingNotification).empty());
}

TEST_F(ManagerPushTest, ALaunchFromANotificationNeverReplaysAndShowsItsOwnOnOldSystems) {
    const struct {
        SystemVersionLevel level;
        std::vector<std::string> shown;
    } cases[] = {{{9, 3}, {"launch"}}, {{10, 0}, {}}};
    for (const auto& c : cases) {
        fakes.ui = std::make_shared<RecordingUi>(fakes.dispatcher->mainQueue());
        Environment::install(fakes.environment());
        fakes.device->setSystemVersionLevel(c.level);
        fakes.application->didEnterBackground();
        launch()->handlePushNotification(textPayload("waiting", 1));
        fakes.dispatcher->runUntilIdle();
        const auto manager = launch({{std::string(ApplicationLaunchOptionsRemoteNotificationKey), textPayload("launch")}});
        EXPECT_TRUE(manager->launchedNotification());
        fakes.dispatcher->advance(2999ms);
        EXPECT_TRUE(toasts().empty());
        fakes.dispatcher->advance(1ms);
        activate();
        activate();
        EXPECT_EQ(toasts(), c.shown) << c.level.major;
        EXPECT_EQ(fakes.preferences->dataArray(settingsKeys::kFenkPendingNotification).size(), 1u);
        fakes.preferences->remove(settingsKeys::kFenkPendingNotification);
    }
}

// The in-app browser needs a window; a host without one gets the desktop's browser.
TEST_F(ManagerPushTest, ALinkOpensInTheInAppBrowserOrWithoutAWindowOnTheDesktop) {
    for (const bool window : {true, false}) {
        auto environment = fakes.environment();
        if (!window) environment.ui = nullptr;
        Environment::install(environment);
        launch()->handlePushNotificationJson(R"({"gType":"d2s-notification","d2s-link-url":"https://shop.example/)" +
                                             std::string(window ? "in" : "out") + "\"}");
        fakes.dispatcher->runUntilIdle();
    }
    const auto inApp = fakes.ui->callsOf(UiCall::Kind::openInAppBrowser);
    ASSERT_EQ(inApp.size(), 1u);
    EXPECT_EQ(inApp[0].text, "https://shop.example/in");
    EXPECT_EQ(fakes.linkOpener->urls(), std::vector<std::string>{"https://shop.example/out"});
}

}  // namespace
}  // namespace fenk
