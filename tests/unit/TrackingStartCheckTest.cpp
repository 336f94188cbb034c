#include "FenkSDK/engagement/TrackingStartCheck.h"

#include "FenkSDK/UserDefault.h"
#include "FenkSDK/registration/AccountService.h"
#include "FenkSDK/runtime/AtomicBoolean.h"
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
    bool accountStored;
    bool online;
    bool expectPage;
    int expectRefreshes;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class TrackingStartCheckTest : public testing::TestWithParam<Case> {};

// The owner requires the terms on the web and neither account has answered: only the guards and the
// refreshes decide whether the page shows.
TEST_P(TrackingStartCheckTest, ShowsThePageOnlyWhenNothingStandsInTheWay) {
    const Case& c = GetParam();
    FakeEnvironment fakes;
    MemoryPreferences& preferences = *fakes.preferences;
    UserDefault store(preferences);
    if (c.resourceIdStored) preferences.setString(settingsKeys::kKeyResourceId, "user-1");
    preferences.setBoolean(settingsKeys::kFenkActiveTracking, true);
    store.setDataArray(std::vector<FG_Extra>{{"userPermissionsWorkflow", "web"},
                                             {"userLegal", "https://legal"},
                                             {"userLegalSumUp", "https://legal/short"}},
                       settingsKeys::kFenkAppParameters);
    if (c.accountStored) store.saveRecord(FG_Account{.resourceId = "user-1"}, settingsKeys::kFenkAccountInfo);
    preferences.setString(settingsKeys::kKeyUrlPlatformUrl, "https://platform.example");
    fakes.http->setAutoReply(scriptedPlatform());
    const auto accounts = std::make_shared<AccountService>(
        AccountService::Collaborators{.preferences = fakes.preferences,
                                      .device = fakes.device,
                                      .transport = PlatformTransport(fakes.http, fakes.dispatcher),
                                      .globalQueue = fakes.dispatcher->globalQueue(),
                                      .isConnectedToNetwork = [&] { return c.online; }});

    std::vector<LegalPage> pages;
    const auto check = std::make_shared<TrackingStartCheck>(TrackingStartCheck::Collaborators{
        .runningRegistration = std::make_shared<AtomicBoolean>(c.registrationRunning),
        .preferences = fakes.preferences,
        .accounts = accounts,
        .fenkQueue = fakes.dispatcher->makeSerialQueue("check", QualityOfService::utility),
        .mainQueue = fakes.dispatcher->mainQueue(),
        .isConnected = [&] { return c.online; },
        .startTracking = [] { FAIL() << "nobody answered yet"; },
        .showPage = [&](const LegalPage& page) {
            pages.push_back(page);
            return true;
        },
    });

    check->run();
    fakes.dispatcher->runUntilIdle();
    const auto requests = fakes.http->requests();
    EXPECT_EQ(std::ranges::count_if(requests, [](const HttpRequest& request) {
                  return request.url.find("user.info") != std::string::npos;
              }),
              c.expectRefreshes);
    ASSERT_EQ(pages.size(), c.expectPage ? 1u : 0u);
    EXPECT_EQ(check->isChecking(), c.expectPage);
    if (!c.expectPage) return;
    EXPECT_EQ(pages[0].step, LegalStep::showLegalScreen);
    EXPECT_EQ(pages[0].summaryLink, "https://legal/short");
    EXPECT_EQ(pages[0].termsLink, "https://legal?isAdvertising=true&resourceId=user-1&adId=");
}

INSTANTIATE_TEST_SUITE_P(
    Steps, TrackingStartCheckTest,
    testing::Values(
        //   name                        running resId  account online page   refreshes
        Case{"RegistrationRunning",      true,   true,  true,   true,  false, 0},
        Case{"NoResourceId",             false,  false, true,   true,  false, 0},
        Case{"StoredAccountOnline",      false,  true,  true,   true,  true,  1},
        Case{"StoredAccountOffline",     false,  true,  true,   false, true,  0},
        Case{"NoAccountOnlineRefreshes", false,  true,  false,  true,  true,  1},
        Case{"NoAccountOffline",         false,  true,  false,  false, true,  0}),
    [](const testing::TestParamInfo<Case>& param) { return param.param.name; });

}  // namespace
}  // namespace fenk
