#include "FenkSDK/location/TrackingStarter.h"

#include "FenkSDK/FenkManager.h"
#include "FenkSDK/UserDefault.h"
#include "FenkSDK/api/FG_Account.h"
#include "FenkSDK/api/FG_Extra.h"
#include "FenkSDK/location/LocationNotifications.h"
#include "adapters/fake/FakeEnvironment.h"
#include "support/PostedNotifications.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace fenk {
namespace {

using Delivery = LocationDelivery;

// Tracking as the host drives it: through the manager, its lifecycle observers and its tracking check.
class TrackingStarterTest : public testing::Test {
protected:
    void SetUp() override { Environment::install(fakes.environment()); }
    void TearDown() override {
        FenkManager::resetSharedManager();
        fakes.dispatcher->runUntilIdle();
    }

    void setTrackingFlag(bool on) { fakes.preferences->setBoolean(settingsKeys::kFenkActiveTracking, on); }

    // The delivery of every acquisition session still alive (visit sessions left out).
    std::vector<Delivery> liveAcquisition() const {
        std::vector<Delivery> deliveries;
        for (const auto& session : fakes.location->sessions()) {
            if (session.alive && session.configuration.desiredAccuracy == LocationAccuracy::bestForNavigation) {
                deliveries.push_back(session.delivery);
            }
        }
        return deliveries;
    }
    bool visitsWatched() const {
        return std::ranges::any_of(fakes.location->sessions(), [](const auto& s) { return s.alive && s.monitorsVisits; });
    }

    FakeEnvironment fakes;
};

TEST_F(TrackingStarterTest, NothingStartsOrSwitchesWithoutTheFlagOrALocationService) {
    for (const bool withLocation : {true, false}) {
        Environment environment = fakes.environment();
        if (!withLocation) environment.location = nullptr;
        Environment::install(environment);
        setTrackingFlag(!withLocation);
        const auto manager = FenkManager::sharedManager();
        manager->startTracking();
        fakes.application->didFinishLaunching({{std::string(ApplicationLaunchOptionsLocationKey), true}});
        fakes.application->willResignActive();
        fakes.application->willEnterForeground();
        fakes.dispatcher->runUntilIdle();
        EXPECT_TRUE(fakes.location->sessions().empty()) << withLocation;
        EXPECT_EQ(manager->locationManager(), nullptr) << withLocation;
        EXPECT_EQ(manager->visitTracker(), nullptr) << withLocation;
        FenkManager::resetSharedManager();
    }
}

TEST_F(TrackingStarterTest, TheLifecycleSwitchesARunningAcquisition) {
    setTrackingFlag(true);
    const auto manager = FenkManager::sharedManager();
    fakes.application->didBecomeActive();
    manager->startTracking();
    EXPECT_EQ(liveAcquisition(), std::vector{Delivery::continuous});
    EXPECT_TRUE(visitsWatched());

    fakes.application->willResignActive();
    fakes.dispatcher->runUntilIdle();
    EXPECT_EQ(liveAcquisition(), std::vector{Delivery::significantChanges});
    fakes.application->willEnterForeground();
    fakes.dispatcher->runUntilIdle();
    EXPECT_EQ(liveAcquisition(), std::vector{Delivery::continuous});

    // A start while in the background replaces the session and begins with significant changes.
    fakes.application->didEnterBackground();
    manager->startTracking();
    EXPECT_EQ(liveAcquisition(), std::vector{Delivery::significantChanges});
}

TEST_F(TrackingStarterTest, ClearingTheFlagStopsAcquisitionVisitsAndCellFences) {
    setTrackingFlag(true);
    const auto manager = FenkManager::sharedManager();
    manager->startTracking();
    manager->locationManager()->monitorRegion("FENK_LOCATION_HOME_u4pruyd", 48.8566, 2.3522);
    manager->locationManager()->monitorRegion("u4pruyc", 48.8566, 2.3522);

    setTrackingFlag(false);
    manager->startTracking();
    PostedNotifications posted(fakes.notificationCenter, {kPositionReceived});
    fakes.location->deliverFixes({LocationFix{.coordinate = {48.8566, 2.3522}}});
    fakes.dispatcher->runUntilIdle();

    EXPECT_TRUE(liveAcquisition().empty());
    EXPECT_FALSE(visitsWatched());
    EXPECT_TRUE(posted.all().empty());
    const auto regions = fakes.location->monitoredRegions();
    ASSERT_EQ(regions.size(), 1u);
    EXPECT_EQ(regions[0].identifier, "FENK_LOCATION_HOME_u4pruyd");

    setTrackingFlag(true);
    manager->startTracking();
    EXPECT_EQ(liveAcquisition().size(), 1u);
    EXPECT_TRUE(visitsWatched());
}

TEST_F(TrackingStarterTest, ALaunchForALocationEventStartsTracking) {
    setTrackingFlag(true);
    const auto manager = FenkManager::sharedManager();
    fakes.application->didFinishLaunching({{std::string(ApplicationLaunchOptionsLocationKey), true}});
    EXPECT_TRUE(liveAcquisition().empty());  // on the main queue, later
    fakes.dispatcher->runUntilIdle();
    EXPECT_EQ(liveAcquisition().size(), 1u);
}

TEST_F(TrackingStarterTest, TheTrackingCheckStartsTrackingOnlyWhenNoAcceptanceIsRequired) {
    const struct {
        const char* name;
        std::optional<FG_Extra> parameter;
        bool trackingFlag;
        bool starts;
    } cases[] = {
        {"absent", std::nullopt, true, false},
        {"no", FG_Extra{"requiresPermissionsAcceptance", "no"}, true, true},
        {"zero", FG_Extra{"requiresPermissionsAcceptance", "0"}, true, true},
        {"without value", FG_Extra{"requiresPermissionsAcceptance", std::nullopt}, true, true},
        {"YES", FG_Extra{"requiresPermissionsAcceptance", "YES"}, true, false},
        {"signed one", FG_Extra{"requiresPermissionsAcceptance", " +0001"}, true, false},
        {"notifications variant", FG_Extra{"requiresPermissionsAcceptance", "no"}, false, false},
    };
    UserDefault store(*fakes.preferences);
    fakes.preferences->setString(settingsKeys::kKeyResourceId, "user-1");
    store.saveRecord(FG_Account{.resourceId = "user-1"}, settingsKeys::kFenkAccountInfo);
    const auto manager = FenkManager::sharedManager();
    for (const auto& c : cases) {
        setTrackingFlag(c.trackingFlag);
        store.setDataArray(c.parameter ? std::vector{*c.parameter} : std::vector<FG_Extra>{},
                           settingsKeys::kFenkAppParameters);
        const auto sessionsBefore = fakes.location->sessions().size();
        fakes.application->didBecomeActive();
        fakes.dispatcher->runUntilIdle();
        EXPECT_EQ(fakes.location->sessions().size() > sessionsBefore, c.starts) << c.name;
    }
}

}  // namespace
}  // namespace fenk
