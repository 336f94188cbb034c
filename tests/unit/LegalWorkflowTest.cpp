// The legal terms before tracking: the decision, the legal screen and the browser, and how a check ends.
#include "FenkSDK/FenkManager.h"

#include "FenkSDK/UserDefault.h"
#include "FenkSDK/engagement/ContentPresenter.h"
#include "FenkSDK/engagement/LegalDecision.h"
#include "adapters/fake/FakeEnvironment.h"
#include "support/ScriptedPlatform.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace std::chrono_literals;
using Kind = fenk::UiCall::Kind;

namespace fenk {
namespace {

const FG_Extra kWeb{"userPermissionsWorkflow", "web"};
const FG_Extra kLegal{"userLegal", "https://owner.example/terms"};
const FG_Extra kSumUp{"userLegalSumUp", "https://owner.example/summary"};

struct DecisionCase {
    const char* name;
    LegalWorkflowVariant variant;
    std::vector<FG_Extra> parameters;
    std::string answer;
    LegalStep expected;
};

TEST(LegalDecisionTest, EachVariantDecidesByTheParametersAndTheAnswer) {
    using enum LegalStep;
    constexpr auto tracking = LegalWorkflowVariant::tracking;
    constexpr auto notifying = LegalWorkflowVariant::notifications;
    const auto required = [](const char* value) { return FG_Extra{"requiresPermissionsAcceptance", value}; };
    const DecisionCase cases[] = {
        {"tracking: no parameter, no answer, no workflow", tracking, {}, "", stop},
        {"tracking: no parameter, answered true", tracking, {}, "true", startTracking},
        {"tracking: not required", tracking, {required("no"), kWeb, kLegal, kSumUp}, "", startTracking},
        {"tracking: 0 is no", tracking, {required("0"), kWeb, kLegal, kSumUp}, "", startTracking},
        {"tracking: an entry without a value is no", tracking, {{"requiresPermissionsAcceptance", std::nullopt}}, "", startTracking},
        {"tracking: web without summary", tracking, {required("YES"), kWeb, kLegal}, "", startTracking},
        {"tracking: answered false", tracking, {kWeb, kLegal, kSumUp}, "false", stop},
        {"tracking: another answer", tracking, {kWeb, kLegal, kSumUp}, "maybe", stop},
        {"tracking: no-response", tracking, {required("Yes"), kWeb, kLegal, kSumUp}, "no-response", showLegalScreen},
        {"tracking: no answer", tracking, {kWeb, kLegal, kSumUp}, "", showLegalScreen},
        {"tracking: not a web workflow", tracking, {{"userPermissionsWorkflow", "app"}, kLegal, kSumUp}, "", stop},
        {"tracking: the last entry wins", tracking, {required("yes"), kWeb, kLegal, kSumUp, required("no")}, "", startTracking},
        {"notifying: no parameter", notifying, {kWeb, kLegal, kSumUp}, "", stop},
        {"notifying: required, no-response", notifying, {required("true"), kWeb, kLegal, kSumUp}, "no-response", openLegalPage},
        {"notifying: required, answered true", notifying, {required("true"), kWeb, kLegal, kSumUp}, "true", stop},
        {"notifying: web without full terms", notifying, {required("true"), kWeb, kSumUp}, "", stop},
    };
    for (const auto& c : cases) EXPECT_EQ(decideLegalStep(c.variant, c.parameters, c.answer), c.expected) << c.name;
}

// A registered installation whose owner asks for the terms on the web, over a window.
class LegalWorkflowTest : public testing::Test {
public:
    void SetUp() override {
        fakes.preferences->setString(settingsKeys::kKeyResourceId, "user-1");
        fakes.preferences->setString(settingsKeys::kKeyAppKey, "app-key");
        fakes.preferences->setString(settingsKeys::kKeyUrlPlatformUrl, "https://platform.example");
        fakes.preferences->setString(settingsKeys::kKeyAdidFenk, "AD-1");
        answerPermission("no-response");
        useParameters({{"requiresPermissionsAcceptance", "true"}, kWeb, kLegal, kSumUp});
        Environment::install(fakes.environment());
        manager = FenkManager::sharedManager();
    }
    void TearDown() override { FenkManager::resetSharedManager(); }

    void useParameters(const std::vector<FG_Extra>& parameters) {
        UserDefault(*fakes.preferences).setDataArray(parameters, settingsKeys::kFenkAppParameters);
    }
    void track(bool tracking) { fakes.preferences->setBoolean(settingsKeys::kFenkActiveTracking, tracking); }
    // The account the platform answers from now on, holding this answer to both permissions.
    void answerPermission(const std::string& answer) {
        const std::string account = R"({"response":"OK","data":{"resourceId":"user-1","extra":[)"
                                    R"({"name":"permissionTracking","value":")" + answer + R"("},)"
                                    R"({"name":"permissionNotifications","value":")" + answer + R"("}]}})";
        fakes.http->setAutoReply(scriptedPlatform({{"user.info", FakeHttpReply::text(account)}}));
    }
    void activate() {
        fakes.application->didBecomeActive();
        fakes.dispatcher->runUntilIdle();
    }
    std::vector<UiCall> legalScreens() const {
        auto presented = fakes.ui->callsOf(Kind::present);
        std::erase_if(presented, [](const UiCall& call) { return !std::holds_alternative<LegalScreen>(*call.screen); });
        return presented;
    }
    std::size_t pagesShown() const { return legalScreens().size() + fakes.ui->callsOf(Kind::openInAppBrowser).size(); }
    bool tracking() const { return !fakes.location->sessions().empty(); }
    std::vector<HttpRequest> requestsTo(std::string_view service) const {
        auto requests = fakes.http->requests();
        std::erase_if(requests, [&](const HttpRequest& request) { return request.url.find(service) == std::string::npos; });
        return requests;
    }

    FakeEnvironment fakes;
    std::shared_ptr<FenkManager> manager;
};

TEST_F(LegalWorkflowTest, TheLegalScreenShowsTheSummaryAndAcceptingStoresTheLocalDate) {
    track(true);
    fakes.device->setTimeZoneIdentifier("Pacific/Honolulu");  // still the day before in UTC terms
    activate();

    const auto screens = legalScreens();
    ASSERT_EQ(screens.size(), 1u);
    const auto& screen = std::get<LegalScreen>(*screens[0].screen);
    EXPECT_EQ(screen.pageUrl, "https://owner.example/summary");
    EXPECT_TRUE(screen.acceptButton);
    EXPECT_TRUE(manager->isChecking());

    fakes.ui->tap(screens[0].id, Control::redirect);
    fakes.dispatcher->runUntilIdle();
    const auto opened = fakes.ui->callsOf(Kind::openExternal);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].text, "https://owner.example/terms?isAdvertising=true&resourceId=user-1&adId=AD-1");
    EXPECT_EQ(fakes.preferences->string(settingsKeys::kKeyFenkCheckedDate), "20270114");
    EXPECT_FALSE(manager->isChecking());
    EXPECT_TRUE(fakes.ui->shown().empty());
    EXPECT_FALSE(tracking());  // tracking waits for the user's answer on the platform
}

// However the page ends, or when it cannot show, the check is over and a later activation may ask again.
TEST_F(LegalWorkflowTest, EveryWayAPageEndsOrCannotShowEndsTheCheck) {
    const struct {
        const char* name;
        bool tracking;
        std::function<void(LegalWorkflowTest&)> before;
        std::function<void(LegalWorkflowTest&)> after;
    } cases[] = {
        {"screen closed", true, {}, [](LegalWorkflowTest& t) { t.fakes.ui->tap(t.legalScreens().at(0).id, Control::close); }},
        {"browser closed", false, {}, [](LegalWorkflowTest& t) { t.fakes.ui->closeBrowser(); }},
        {"no window", true, [](LegalWorkflowTest& t) { t.fakes.ui->setWindow(std::nullopt); }, {}},
        {"summary no web address", true, [](LegalWorkflowTest& t) {
             t.useParameters({kWeb, kLegal, {"userLegalSumUp", "javascript:alert(1)"}});
         }, {}},
        {"terms no web address", false, [](LegalWorkflowTest& t) {
             t.useParameters({{"requiresPermissionsAcceptance", "1"}, kWeb, {"userLegal", "file:///etc"}, kSumUp});
         }, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FenkManager::resetSharedManager();
        fakes = FakeEnvironment{};
        SetUp();
        useParameters({{"requiresPermissionsAcceptance", "true"}, kWeb, kLegal, kSumUp});
        track(c.tracking);
        if (c.before) c.before(*this);
        activate();
        if (c.after) c.after(*this);
        fakes.dispatcher->runUntilIdle();
        EXPECT_FALSE(manager->isChecking());
        EXPECT_TRUE(fakes.ui->shown().empty());
    }
}

TEST_F(LegalWorkflowTest, AtMostOnePagePerActivationAndAFreshAnswerDecides) {
    track(false);
    activate();
    ASSERT_EQ(fakes.ui->callsOf(Kind::openInAppBrowser).size(), 1u);
    EXPECT_EQ(fakes.ui->callsOf(Kind::openInAppBrowser)[0].text,
              "https://owner.example/terms?isAdvertising=true&resourceId=user-1&adId=AD-1");

    // Closed without an answer: checked again a second later, but not shown again in this activation.
    fakes.ui->closeBrowser();
    EXPECT_FALSE(manager->isChecking());
    fakes.dispatcher->advance(1s);
    fakes.dispatcher->runUntilIdle();
    EXPECT_EQ(pagesShown(), 1u);
    activate();
    EXPECT_EQ(pagesShown(), 2u);

    // Answered on the web meanwhile: the stored account still says no-response, the fresh one decides.
    fakes.ui->closeBrowser();
    track(true);
    answerPermission("true");
    activate();
    EXPECT_EQ(pagesShown(), 2u);
    EXPECT_TRUE(tracking());
}

TEST_F(LegalWorkflowTest, TheRegistrationsEndAndTheActivationShowOnePage) {
    track(true);
    manager->checkStartTracking();  // as a registration does when it ends
    fakes.application->didBecomeActive();
    manager->checkStartTracking();
    fakes.dispatcher->runUntilIdle();
    EXPECT_EQ(legalScreens().size(), 1u);
}

TEST_F(LegalWorkflowTest, PermissionsTravelAsOneAnswerAndAllowingTrackingStartsIt) {
    track(true);
    const auto update = [&](std::string name, bool value) {
        std::optional<bool> answered;
        manager->setUserPermission(std::move(name), value, [&](bool ok) { answered = ok; });
        fakes.dispatcher->runUntilIdle();
        return answered;
    };
    EXPECT_EQ(update("a,permissionTracking:true&x=1", false), true);
    const auto sent = requestsTo("user.update").at(0);
    EXPECT_NE(asText(sent.body).find("extra=a%252CpermissionTracking%253Atrue%26x%3D1%3Afalse"), std::string::npos)
        << asText(sent.body);

    answerPermission("true");
    EXPECT_EQ(update("permissionTracking", true), true);
    EXPECT_TRUE(tracking());
    std::optional<std::string> answer;
    manager->getUserPermission("permissionTracking", [&](std::optional<std::string> value) { answer = value; });
    manager->getUserPermission("unknown", [&](std::optional<std::string> value) { EXPECT_EQ(value, ""); });
    fakes.dispatcher->runUntilIdle();
    EXPECT_EQ(answer, "true");

    fakes.http->setAutoReply(scriptedPlatform({{"user.update", FakeHttpReply::text(R"({"response":"ERROR"})")}}));
    const auto refreshes = requestsTo("user.info").size();
    EXPECT_EQ(update("permissionTracking", true), false);
    EXPECT_EQ(requestsTo("user.info").size(), refreshes);  // no account refresh after a refusal
}

TEST_F(LegalWorkflowTest, TheAdvertisingIdFollowsTheUsersDecision) {
    fakes.device->setAdvertisingIdentifier("AD-1");
    const struct {
        SystemVersionLevel version;
        TrackingAuthorizationStatus status;
        const char* expected;
    } cases[] = {
        {{13, 0}, TrackingAuthorizationStatus::denied, "AD-1"},
        {{14, 0}, TrackingAuthorizationStatus::notDetermined, ""},
        {{14, 0}, TrackingAuthorizationStatus::restricted, "AdId-Restricted"},
        {{14, 0}, TrackingAuthorizationStatus::denied, "AdId-Denied"},
        {{17, 2}, TrackingAuthorizationStatus::authorized, "AD-1"},
    };
    for (const auto& c : cases) {
        fakes.device->setSystemVersionLevel(c.version);
        fakes.device->setTrackingAuthorizationStatus(c.status);
        std::string answer = "none";
        manager->getAdIdWithPermissionWithCompletion([&](std::string id) { answer = std::move(id); });
        fakes.dispatcher->runUntilIdle();
        EXPECT_EQ(answer, c.expected) << static_cast<int>(c.status);
    }
}

TEST_F(LegalWorkflowTest, TheUpdatePageOpensWithTheTrackingParameters) {
    manager->legalPermissions();
    fakes.dispatcher->runUntilIdle();
    EXPECT_TRUE(fakes.ui->callsOf(Kind::openInAppBrowser).empty());

    useParameters({{"userLegalUpdate", "https://owner.example/old"}, {"userLegalUpdate", "https://owner.example/new#top"}});
    manager->legalPermissions();
    fakes.dispatcher->runUntilIdle();
    const auto opened = fakes.ui->callsOf(Kind::openInAppBrowser);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].text, "https://owner.example/new?isAdvertising=true&resourceId=user-1&adId=AD-1#top");
    EXPECT_FALSE(manager->isChecking());
}

}  // namespace
}  // namespace fenk
