#include "FenkSDK/engagement/TrackingStartCheck.h"

#include "FenkSDK/UserDefault.h"
#include "FenkSDK/registration/AccountService.h"
#include "adapters/fake/FakeEnvironment.h"
#include "support/ScriptedPlatform.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace fenk {
namespace {

struct Case {
    const char* name;
    bool registrationRunning;
    bool resourceIdStored;
    bool checking;
    bool accountStored;
    bool online;
    bool trackingFlag;
    bool expectHandOver;
    bool expectRefresh;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class TrackingStartCheckTest : public testing::TestWithParam<Case> {};

TEST_P(TrackingStartCheckTest, HandsOverOnlyWhenNothingStandsInTheWay) {
    const Case& c = GetParam();
    FakeEnvironment fakes;
    MemoryPreferences& preferences = *fakes.preferences;
    UserDefault store(preferences);
    if (c.resourceIdStored) preferences.setString(settingsKeys::kKeyResourceId, "user-1");
    preferences.setBoolean(settingsKeys::kFenkActiveTracking, c.trackingFlag);
    store.setDataArray(std::vector<FG_Extra>{{"userLegal", "https://legal"}}, settingsKeys::kFenkAppParameters);
    if (c.accountStored) store.saveRecord(FG_Account{.resourceId = "stored"}, settingsKeys::kFenkAccountInfo);
    preferences.setString(settingsKeys::kKeyUrlPlatformUrl, "https://platform.example");
    fakes.http->setAutoReply(scriptedPlatform(
        {{"user.info", FakeHttpReply::text(R"({"response":"OK","data":{"resourceId":"user-1"}})")}}));
    const auto accounts = std::make_shared<AccountService>(
        AccountService::Collaborators{.preferences = fakes.preferences,
                                      .device = fakes.device,
                                      .transport = PlatformTransport(fakes.http, fakes.dispatcher),
                                      .globalQueue = fakes.dispatcher->globalQueue(),
                                      .isConnectedToNetwork = [&] { return c.online; }});

    AtomicBoolean running(c.registrationRunning);
    std::atomic<bool> checking = c.checking;
    std::optional<LegalWorkflowRequest> handedOver;
    TrackingStartCheck check(
        running, checking, preferences, [&](auto completion) { accounts->currentAccount(std::move(completion)); },
        [&](LegalWorkflowRequest request) { handedOver = std::move(request); });

    check.run();
    fakes.dispatcher->runUntilIdle();
    const auto requests = fakes.http->requests();
    const auto refreshes = std::count_if(requests.begin(), requests.end(), [](const HttpRequest& request) {
        return request.url.find("user.info") != std::string::npos;
    });

    EXPECT_EQ(refreshes, c.expectRefresh ? 1 : 0);
    ASSERT_EQ(handedOver.has_value(), c.expectHandOver);
    if (!handedOver) return;
    EXPECT_EQ(handedOver->variant,
              c.trackingFlag ? LegalWorkflowVariant::tracking : LegalWorkflowVariant::notifications);
    ASSERT_EQ(handedOver->appParameters.size(), 1u);
    EXPECT_EQ(handedOver->appParameters[0].name, "userLegal");
    const char* expectedAccount = c.accountStored ? "stored" : (c.online ? "user-1" : nullptr);
    if (expectedAccount) {
        ASSERT_TRUE(handedOver->account);
        EXPECT_EQ(handedOver->account->resourceId, expectedAccount);
    } else {
        EXPECT_FALSE(handedOver->account);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Steps, TrackingStartCheckTest,
    testing::Values(
        //   name                       running resId  checking account online tracking handOver refresh
        Case{"RegistrationRunning",     true,   true,  false,   true,   true,  true,    false,   false},
        Case{"NoResourceId",            false,  false, false,   true,   true,  true,    false,   false},
        Case{"AlreadyChecking",         false,  true,  true,    true,   true,  true,    false,   false},
        Case{"StoredAccountTracking",   false,  true,  false,   true,   true,  true,    true,    false},
        Case{"StoredAccountNotifying",  false,  true,  false,   true,   false, false,   true,    false},
        Case{"NoAccountOnlineRefreshes", false, true,  false,   false,  true,  true,    true,    true},
        Case{"NoAccountOffline",        false,  true,  false,   false,  false, false,   true,    false}),
    [](const testing::TestParamInfo<Case>& param) { return param.param.name; });

}  // namespace
}  // namespace fenk
