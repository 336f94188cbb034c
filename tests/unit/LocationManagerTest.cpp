#include "FenkSDK/location/LocationManager.h"

#include "FenkSDK/location/LocationNotifications.h"
#include "FenkSDK/location/StoredLocation.h"
#include "adapters/fake/FakeEnvironment.h"
#include "support/ConsoleCapture.h"
#include "support/PostedNotifications.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace fenk {
namespace {

using Delivery = LocationDelivery;

class LocationManagerTest : public testing::Test {
protected:
    LocationManager::Collaborators collaborators() const {
        return {.location = fakes.location,
                .application = fakes.application,
                .clock = fakes.dispatcher,
                .notificationCenter = fakes.notificationCenter,
                .supportsAlwaysAuthorization = true};
    }
    // A manager acquiring in the foreground, with the fixes and events it causes already delivered.
    void startActive() {
        fakes.application->didBecomeActive();
        manager.startLocationUpdates();
        fakes.dispatcher->runUntilIdle();
    }
    void monitor(std::initializer_list<const char*> identifiers) {
        for (const char* identifier : identifiers) manager.monitorRegion(identifier, 48.8566, 2.3522);
    }
    std::vector<std::string> monitoredIdentifiers() const {
        std::vector<std::string> identifiers;
        for (const auto& region : fakes.location->monitoredRegions()) identifiers.push_back(region.identifier);
        std::ranges::sort(identifiers);
        return identifiers;
    }
    Timestamp now() const { return timestampFromSystemTime(fakes.dispatcher->now()); }

    FakeEnvironment fakes;
    PostedNotifications posted{fakes.notificationCenter, {kPositionReceived, kEnterRegion, kExitRegion}};
    LocationManager manager{collaborators()};
};

TEST_F(LocationManagerTest, StartOpensOneConfiguredSessionForTheApplicationState) {
    const struct {
        const char* name;
        void (Application::*announce)();
        bool servicesEnabled;
        std::optional<Delivery> delivery;  // none: no session at all
    } cases[] = {
        {"active", &Application::didBecomeActive, true, Delivery::continuous},
        {"inactive", &Application::willResignActive, true, Delivery::significantChanges},
        {"background", &Application::didEnterBackground, true, Delivery::significantChanges},
        {"services disabled", &Application::didBecomeActive, false, std::nullopt},
    };
    for (const auto& c : cases) {
        FakeEnvironment local;
        LocationManager subject({.location = local.location,
                                 .application = local.application,
                                 .clock = local.dispatcher,
                                 .notificationCenter = local.notificationCenter,
                                 .supportsAlwaysAuthorization = true});
        (*local.application.*c.announce)();
        local.location->setLocationServicesEnabled(c.servicesEnabled);
        subject.startLocationUpdates();
        const auto sessions = local.location->sessions();
        ASSERT_EQ(sessions.size(), c.delivery ? 1u : 0u) << c.name;
        if (!c.delivery) continue;
        EXPECT_EQ(sessions[0].delivery, *c.delivery) << c.name;
        EXPECT_EQ(sessions[0].configuration,
                  (LocationSessionConfiguration{LocationAccuracy::bestForNavigation,
                                                LocationActivityType::otherNavigation, false, 100.0}))
            << c.name;
        EXPECT_EQ(sessions[0].alwaysAuthorizationRequests, 1) << c.name;
    }
}

TEST_F(LocationManagerTest, ARestartLeavesOneStreamOfFixes) {
    startActive();
    manager.startLocationUpdates();
    fakes.location->deliverFixes({LocationFix{.coordinate = {48.8566, 2.3522}}});
    fakes.dispatcher->runUntilIdle();

    const auto sessions = fakes.location->sessions();
    ASSERT_EQ(sessions.size(), 2u);
    EXPECT_FALSE(sessions[0].alive);
    EXPECT_TRUE(sessions[1].alive);
    EXPECT_EQ(posted.all().size(), 1u);
}

TEST_F(LocationManagerTest, AFixBatchPostsItsLatestValidFix) {
    const Timestamp fixTime = now();
    const auto fixAt = [&](double latitude, double longitude) {
        return LocationFix{.coordinate = {latitude, longitude}, .horizontalAccuracy = 65, .timestamp = fixTime};
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const char* name;
        std::vector<LocationFix> batch;
        std::optional<LocationCoordinate2D> posted;
    } cases[] = {
        {"latest of three", {fixAt(1, 1), fixAt(2, 2), fixAt(48.8566, 2.3522)}, LocationCoordinate2D{48.8566, 2.3522}},
        {"no position", {fixAt(48.8566, 2.3522), fixAt(-180, -180)}, std::nullopt},
        {"not a number", {fixAt(nan, 2.3522)}, std::nullopt},
        {"infinite", {fixAt(48.8566, std::numeric_limits<double>::infinity())}, std::nullopt},
    };
    startActive();
    for (const auto& c : cases) {
        const auto before = posted.all().size();
        const auto lastLocation = manager.myLocation();
        fakes.location->deliverFixes(c.batch);
        fakes.dispatcher->runUntilIdle();

        ASSERT_EQ(posted.all().size(), before + (c.posted ? 1 : 0)) << c.name;
        if (!c.posted) {
            EXPECT_EQ(manager.myLocation(), lastLocation) << c.name;
            continue;
        }
        const auto record = posted.all().back().object<StoredLocation>();
        ASSERT_NE(record, nullptr) << c.name;
        EXPECT_EQ(record->tipo, LocationType::location);
        EXPECT_EQ(LocationCoordinate2D(record->latitude, record->longitude), *c.posted);
        EXPECT_EQ(record->arrivalDate, fixTime);
        EXPECT_EQ(record->departureDate, distantFuture());
        EXPECT_FALSE(record->nombre);
        EXPECT_EQ(manager.myLocation(), c.posted);
        EXPECT_EQ(manager.myLocationAccuracy(), 65);
    }
}

TEST_F(LocationManagerTest, SwitchingChangesTheDeliveryOnlyWhereSignificantChangesAreAvailable) {
    const struct {
        void (LocationManager::*call)();
        bool available;
        Delivery expected;
    } cases[] = {
        {&LocationManager::switchToSignificantChanges, true, Delivery::significantChanges},
        {&LocationManager::switchToContinuousUpdates, true, Delivery::continuous},
        {&LocationManager::switchToSignificantChanges, false, Delivery::continuous},
    };
    startActive();
    for (const auto& c : cases) {
        ConsoleCapture console;
        fakes.location->setSignificantLocationChangeMonitoringAvailable(c.available);
        (manager.*c.call)();
        EXPECT_EQ(fakes.location->sessions().back().delivery, c.expected);
        EXPECT_EQ(console.lines(),
                  c.available ? std::vector<std::string>{}
                              : std::vector<std::string>{"Significant location change monitoring is not available."});
    }
}

TEST_F(LocationManagerTest, ANewFenceReplacesTheOtherFencesAndKeepsThePlaces) {
    startActive();
    monitor({"FENK_LOCATION_HOME_u4pruyd", "u4pruyc", "u4pruyd"});
    EXPECT_EQ(monitoredIdentifiers(), (std::vector<std::string>{"FENK_LOCATION_HOME_u4pruyd", "u4pruyd"}));
    const auto fence = fakes.location->monitoredRegions().back();
    EXPECT_EQ(fence.radius, 100.0);
    EXPECT_EQ(fence.center, (LocationCoordinate2D{48.8566, 2.3522}));

    fakes.location->setCircularRegionMonitoringAvailable(false);
    monitor({"u4pruyf"});
    EXPECT_EQ(monitoredIdentifiers(), (std::vector<std::string>{"FENK_LOCATION_HOME_u4pruyd", "u4pruyd"}));
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
    startActive();
    for (const auto& c : cases) {
        monitor({"FENK_LOCATION_WORK_u4pruyc", "u4pruyd"});
        const auto before = posted.all().size();
        c.entering ? fakes.location->enterRegion(c.identifier) : fakes.location->exitRegion(c.identifier);
        fakes.dispatcher->runUntilIdle();

        const auto identifiers = monitoredIdentifiers();
        EXPECT_EQ(std::ranges::count(identifiers, c.identifier), c.staysMonitored ? 1 : 0) << c.identifier;
        ASSERT_EQ(posted.all().size(), before + (c.announced ? 1 : 0)) << c.identifier;
        if (!c.announced) continue;
        const Notification& note = posted.all().back();
        EXPECT_EQ(note.name, *c.announced);
        if (c.entering) {
            const auto record = note.object<StoredLocation>();
            ASSERT_NE(record, nullptr);
            EXPECT_EQ(record->tipo, LocationType::region);
            EXPECT_EQ(record->nombre, c.identifier);
            EXPECT_EQ(record->arrivalDate, now());
            EXPECT_EQ(record->departureDate, distantFuture());
        } else {
            EXPECT_EQ(std::any_cast<std::string>(note.userInfo.at("identifier")), c.identifier);
            EXPECT_EQ(std::any_cast<Timestamp>(note.userInfo.at("date")), now());
        }
    }
}

TEST_F(LocationManagerTest, AMonitoringFailureIsOnlyReported) {
    startActive();
    monitor({"u4pruyd"});
    ConsoleCapture console;
    fakes.location->failMonitoring("u4pruyd", "denied");
    fakes.location->failMonitoring("unknown", "lost");
    fakes.dispatcher->runUntilIdle();
    EXPECT_EQ(console.lines(),
              (std::vector<std::string>{"monitoringDidFailForRegion u4pruyd: denied", "monitoringDidFailForRegion : lost"}));
    EXPECT_EQ(monitoredIdentifiers(), std::vector<std::string>{"u4pruyd"});
}

}  // namespace
}  // namespace fenk
