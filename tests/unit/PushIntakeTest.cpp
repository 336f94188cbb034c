#include "FenkSDK/engagement/PushIntake.h"

#include "FenkSDK/FenkManager.h"
#include "FenkSDK/UserDefault.h"
#include "FenkSDK/engagement/PendingNotifications.h"
#include "adapters/fake/FakeEnvironment.h"
#include "support/ConsoleCapture.h"

#include <gtest/gtest.h>

#include <limits>

using namespace std::chrono_literals;

namespace fenk {
namespace {

using Texts = std::vector<std::string>;

// Text content, shown as a toast of its body; `silent` is the value of "content-available", when given.
UserInfo textPayload(std::string body, std::optional<std::any> silent = std::nullopt, std::any alert = {}) {
    UserInfo aps{{"alert", alert.has_value() ? alert : UserInfo{{"body", std::move(body)}}}};
    if (silent) aps.emplace("content-available", *silent);
    return {{"gType", std::string("text")}, {"aps", std::move(aps)}};
}

UserInfo linkPayload(std::any link) { return {{"gType", std::string("d2s-notification")}, {"d2s-link-url", std::move(link)}}; }

Texts bodies(const std::vector<FenkPushNotification>& contents) {
    Texts texts;
    for (const auto& content : contents) texts.push_back(content.aps->alert->body.value_or(""));
    return texts;
}

class PushIntakeTest : public testing::Test {
protected:
    Texts pending() const { return bodies(PendingNotifications(*fakes.preferences).list()); }

    FakeEnvironment fakes;
    std::vector<FenkPushNotification> presented;
    Texts opened;
    // How many contents were still pending as each was shown.
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
                pendingWhenShown.push_back(pending().size());
            },
        .openWebPage = [this](const std::string& link) { opened.push_back(link); },
    });
};

TEST_F(PushIntakeTest, RoutesEachPayloadByItsTypeAndAps) {
    const struct {
        const char* name;
        UserInfo payload;
        bool active;
        Texts shown, opened, pending;
    } cases[] = {
        {"text", textPayload("hi"), true, {"hi"}, {}, {}},
        {"link", linkPayload(std::string("https://shop.example/a?b=c")), true, {}, {"https://shop.example/a?b=c"}, {}},
        {"script link", linkPayload(std::string("javascript:alert(1)")), true, {}, {}, {}},
        {"link not text", linkPayload(42), true, {}, {}, {}},
        {"link type without link", {{"gType", std::string("d2s-notification")}, {"aps", UserInfo{}}}, true, {}, {}, {}},
        {"image without aps", {{"gType", std::string("image")}, {"gSource", std::string("https://a.example/p.png")}}, true, {}, {}, {}},
        {"silent while active", textPayload("hi", 1), true, {}, {}, {}},
        {"silent in the background", textPayload("hi", 1), false, {}, {}, {"hi"}},
        {"silent as true", textPayload("hi", true), false, {}, {}, {"hi"}},
        {"content-available 0", textPayload("hi", 0), false, {"hi"}, {}, {}},
        {"content-available as text", textPayload("hi", std::string("1")), false, {"hi"}, {}, {}},
        {"alert as text", textPayload("", {}, std::string("hi")), true, {}, {}, {}},
        {"silent alert as text", textPayload("", 1, std::string("hi")), false, {}, {}, {}},
        {"not JSON", {{"gType", std::string("text")}, {"aps", UserInfo{}}, {"x", std::numeric_limits<double>::infinity()}}, true, {}, {}, {}},
        {"empty", {}, true, {}, {}, {}},
    };
    for (const auto& c : cases) {
        fakes.preferences->remove(settingsKeys::kFenkPendingNotification);
        presented.clear();
        opened.clear();
        c.active ? fakes.application->didBecomeActive() : fakes.application->didEnterBackground();
        intake->handlePushNotification(c.payload);
        EXPECT_EQ(bodies(presented), c.shown) << c.name;
        EXPECT_EQ(opened, c.opened) << c.name;
        EXPECT_EQ(pending(), c.pending) << c.name;
    }
}

TEST_F(PushIntakeTest, ThePendingListKeepsTheLatest64) {
    ConsoleCapture console;
    for (int index = 0; index <= 64; ++index) intake->handlePushNotification(textPayload(std::to_string(index), 1));
    ASSERT_EQ(pending().size(), PendingNotifications::kCapacity);
    EXPECT_EQ(pending().front(), "1");
    EXPECT_EQ(console.lines(), Texts{"pending push contents are full: the oldest was dropped"});
}

// Content that breaks whoever shows it must not come back at every activation: it leaves the store first,
// and stays when the store cannot let it go.
TEST_F(PushIntakeTest, PendingContentLeavesTheStoreBeforeItShows) {
    ConsoleCapture console;
    intake->handlePushNotification(textPayload("one", 1));
    intake->handlePushNotification(textPayload("two", 1));
    fakes.preferences->failNextWrite();
    for (int activation = 0; activation < 4; ++activation) intake->showPendingNotification();
    EXPECT_EQ(bodies(presented), (Texts{"one", "two"}));
    EXPECT_EQ(pendingWhenShown, (std::vector<std::size_t>{1, 0}));
    EXPECT_EQ(console.lines().size(), 1u);
}

// --- Through the manager, across activations and launches -------------------------------------------------

class ManagerPushTest : public testing::Test {
protected:
    void SetUp() override { Environment::install(fakes.environment()); }
    void TearDown() override { FenkManager::resetSharedManager(); }

    // A new process over the same settings, launched with these options.
    std::shared_ptr<FenkManager> launch(UserInfo options = {}) {
        FenkManager::resetSharedManager();
        auto manager = FenkManager::sharedManager();
        fakes.application->didFinishLaunching(std::move(options));
        return manager;
    }

    void activate() {
        fakes.application->didBecomeActive();
        fakes.dispatcher->advance(10s);  // the toast comes and goes
    }

    Texts toasts() const {
        Texts messages;
        for (const auto& call : fakes.ui->callsOf(UiCall::Kind::showToast)) messages.push_back(call.toast->message.value_or(""));
        return messages;
    }

    // Silent contents received in the background.
    void receiveInTheBackground(const Texts& texts) {
        fakes.application->didEnterBackground();
        for (const auto& text : texts) FenkManager::sharedManager()->handlePushNotification(textPayload(text, 1));
        fakes.dispatcher->runUntilIdle();
    }

    FakeEnvironment fakes;
};

TEST_F(ManagerPushTest, PendingContentShowsOnePerActivationAcrossARelaunch) {
    launch();
    receiveInTheBackground({"one", "two", "three"});
    activate();
    EXPECT_EQ(toasts(), Texts{"one"});
    launch();
    activate();
    activate();
    activate();
    EXPECT_EQ(toasts(), (Texts{"one", "two", "three"}));
    EXPECT_TRUE(fakes.preferences->dataArray(settingsKeys::kFenkPendingNotification).empty());
}

TEST_F(ManagerPushTest, ALaunchFromANotificationNeverReplaysAndShowsItsOwnOnOldSystems) {
    for (const auto& [level, shown] : {std::pair{SystemVersionLevel{9, 3}, Texts{"launch"}}, {{10, 0}, {}}}) {
        fakes.ui = std::make_shared<RecordingUi>(fakes.dispatcher->mainQueue());
        Environment::install(fakes.environment());
        fakes.device->setSystemVersionLevel(level);
        fakes.preferences->remove(settingsKeys::kFenkPendingNotification);
        launch();
        receiveInTheBackground({"waiting"});
        EXPECT_TRUE(launch({{std::string(ApplicationLaunchOptionsRemoteNotificationKey), textPayload("launch")}})
                        ->launchedNotification());
        fakes.dispatcher->advance(2999ms);
        EXPECT_TRUE(toasts().empty());
        activate();
        activate();
        EXPECT_EQ(toasts(), shown) << level.major;
        EXPECT_EQ(fakes.preferences->dataArray(settingsKeys::kFenkPendingNotification).size(), 1u);
    }
}

// The in-app browser needs a window; a host without one gets the desktop's browser.
TEST_F(ManagerPushTest, ALinkOpensInTheInAppBrowserOrWithoutAWindowOnTheDesktop) {
    ConsoleCapture console;
    for (const bool window : {true, false}) {
        auto environment = fakes.environment();
        if (!window) environment.ui = nullptr;
        Environment::install(environment);
        launch()->handlePushNotificationJson(R"({"gType":"d2s-notification","d2s-link-url":"https://shop.example/)" +
                                             std::string(window ? "in" : "out") + "\"}");
        FenkManager::sharedManager()->handlePushNotificationJson("[]");
        fakes.dispatcher->runUntilIdle();
    }
    const auto inApp = fakes.ui->callsOf(UiCall::Kind::openInAppBrowser);
    ASSERT_EQ(inApp.size(), 1u);
    EXPECT_EQ(inApp[0].text, "https://shop.example/in");
    EXPECT_EQ(fakes.linkOpener->urls(), Texts{"https://shop.example/out"});
    EXPECT_EQ(console.lines(), Texts(2, "push payload ignored: not a JSON object"));
}

}  // namespace
}  // namespace fenk
