#include "FenkSDK/location/LocationManager.h"

#include "FenkSDK/location/LocationNotifications.h"
#include "FenkSDK/location/StoredLocation.h"
#include "adapters/fake/FakeEnvironment.h"
#include "support/ConsoleCapture.h"
#include "support/PostedNotifications.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

namespace fenk {
namespace {

class LocationManagerTest : public testing::Test {
protected:
    // Acquiring in the foreground, with the events that start causes already delivered.
    void SetUp() override {
        fakes.application->didBecomeActive();
        manager.startLocationUpdates();
        fakes.dispatcher->runUntilIdle();
    }
    void deliver(std::vector<LocationFix> batch) {
        fakes.location->deliverFixes(std::move(batch));
        fakes.dispatcher->runUntilIdle();
    }
    void monitor(std::initializer_list<const char*> identifiers) {
        for (const char* identifier : identifiers) manager.monitorRegion(identifier, 48.8566, 2.3522);
    }
    std::vector<std::string> monitored() const {
        std::vector<std::string> identifiers;
        for (const auto& region : fakes.location->monitoredRegions()) identifiers.push_back(region.identifier);
        std::ranges::sort(identifiers);
        return identifiers;
    }
    Timestamp now() const { return timestampFromSystemTime(fakes.dispatcher->now()); }

    FakeEnvironment fakes;
    PostedNotifications posted{fakes.notificationCenter, {kPositionReceived, kEnterRegion, kExitRegion}};
    LocationManager manager{{.location = fakes.location,
                             .application = fakes.application,
                             .clock = fakes.dispatcher,
                             .notificationCenter = fakes.notificationCenter,
                             .supportsAlwaysAuthorization = true}};
};

TEST_F(LocationManagerTest, ARestartReplacesTheSessionSoOneStreamOfFixesRuns) {
    manager.startLocationUpdates();
    deliver({LocationFix{.coordinate = {48.8566, 2.3522}}});
    EXPECT_EQ(posted.all().size(), 1u);

    // With location services disabled the running session stays.
    fakes.location->setLocationServicesEnabled(false);
    manager.startLocationUpdates();
    const auto sessions = fakes.location->sessions();
    ASSERT_EQ(sessions.size(), 2u);
    EXPECT_FALSE(sessions[0].alive);
    EXPECT_TRUE(sessions[1].alive);
    EXPECT_EQ(sessions[1].configuration, (LocationSessionConfiguration{LocationAccuracy::bestForNavigation,
                                                                        LocationActivityType::otherNavigation, false,
                                                                        100.0}));
    EXPECT_EQ(sessions[1].alwaysAuthorizationRequests, 1);
}

TEST_F(LocationManagerTest, AFixBatchPostsItsLatestValidFix) {
    const auto fixAt = [&](double latitude, double longitude) {
        return LocationFix{.coordinate = {latitude, longitude}, .horizontalAccuracy = 65, .timestamp = now()};
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const char* name;
        std::vector<LocationFix> batch;
        bool posts;
    } cases[] = {
        {"no position", {fixAt(48.8566, 2.3522), fixAt(-180, -180)}, false},
        {"not a number", {fixAt(nan, 2.3522)}, false},
        {"latest of three", {fixAt(1, 1), fixAt(2, 2), fixAt(48.8566, 2.3522)}, true},
    };
    for (const auto& c : cases) {
        deliver(c.batch);
        ASSERT_EQ(posted.all().size(), c.posts ? 1u : 0u) << c.name;
        EXPECT_EQ(manager.myLocation().has_value(), c.posts) << c.name;
    }
    const auto record = posted.all().back().object<StoredLocation>();
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(*record, StoredLocation::fromFix(fixAt(48.8566, 2.3522)));
    EXPECT_EQ(record->departureDate, distantFuture());
    EXPECT_EQ(manager.myLocation(), (LocationCoordinate2D{48.8566, 2.3522}));
    EXPECT_EQ(manager.myLocationAccuracy(), 65);
}

TEST_F(LocationManagerTest, WithoutSignificantChangesTheModeStaysAndSaysWhy) {
    ConsoleCapture console;
    fakes.location->setSignificantLocationChangeMonitoringAvailable(false);
    manager.switchToSignificantChanges();
    EXPECT_EQ(fakes.location->sessions().back().delivery, LocationDelivery::continuous);
    EXPECT_EQ(console.lines(), std::vector<std::string>{"Significant location change monitoring is not available."});
}

TEST_F(LocationManagerTest, ANewFenceReplacesTheOtherFencesAndKeepsThePlaces) {
    monitor({"FENK_LOCATION_HOME_u4pruyd", "u4pruyc", "u4pruyd"});
    EXPECT_EQ(monitored(), (std::vector<std::string>{"FENK_LOCATION_HOME_u4pruyd", "u4pruyd"}));
    EXPECT_EQ(fakes.location->monitoredRegions().back().radius, 100.0);

    fakes.location->setCircularRegionMonitoringAvailable(false);
    monitor({"u4pruyf"});
    EXPECT_EQ(monitored(), (std::vector<std::string>{"FENK_LOCATION_HOME_u4pruyd", "u4pruyd"}));
}

TEST_F(LocationManagerTest, RegionEventsAnnouncePlacesAndRetireFences) {
    const struct {
        const char* identifier;
        bool entering;
        std::optional<std::string_view> announced;
        bool staysMonitored;
    } cases[] = {
        {"u4pruyd", true, std::nullopt, true},
        {"u4pruyd", false, kExitRegion, false},
        {"FENK_LOCATION_WORK_u4pruyc", true, kEnterRegion, true},
        {"FENK_LOCATION_WORK_u4pruyc", false, kExitRegion, true},
    };
    for (const auto& c : cases) {
        monitor({"FENK_LOCATION_WORK_u4pruyc", "u4pruyd"});
        const auto before = posted.all().size();
        c.entering ? fakes.location->enterRegion(c.identifier) : fakes.location->exitRegion(c.identifier);
        fakes.dispatcher->runUntilIdle();

        EXPECT_EQ(std::ranges::count(monitored(), c.identifier), c.staysMonitored ? 1 : 0) << c.identifier;
        ASSERT_EQ(posted.all().size(), before + (c.announced ? 1 : 0)) << c.identifier;
        if (!c.announced) continue;
        const Notification& note = posted.all().back();
        EXPECT_EQ(note.name, *c.announced);
        if (c.entering) {
            EXPECT_EQ(*note.object<StoredLocation>(),
                      StoredLocation::fromRegion(c.identifier, {48.8566, 2.3522}, now(), distantFuture()));
        } else {
            EXPECT_EQ(std::any_cast<std::string>(note.userInfo.at("identifier")), c.identifier);
            EXPECT_EQ(std::any_cast<Timestamp>(note.userInfo.at("date")), now());
        }
    }
}

}  // namespace
}  // namespace fenk
