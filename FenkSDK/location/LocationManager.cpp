#include "FenkSDK/location/LocationManager.h"

#include "FenkSDK/location/LocationNotifications.h"
#include "FenkSDK/location/StoredLocation.h"
#include "FenkSDK/ports/Application.h"
#include "FenkSDK/runtime/Console.h"
#include "FenkSDK/runtime/NotificationCenter.h"

namespace fenk {
namespace {

constexpr double kRegionRadius = 100.0;  // metres

const LocationSessionConfiguration kAcquisition{.desiredAccuracy = LocationAccuracy::bestForNavigation,
                                                .activityType = LocationActivityType::otherNavigation,
                                                .pausesLocationUpdatesAutomatically = false,
                                                .distanceFilter = 100.0};

}  // namespace

LocationManager::LocationManager(Collaborators collaborators) : ports_(std::move(collaborators)) {}

void LocationManager::startLocationUpdates() {
    if (!ports_.location->locationServicesEnabled()) return;
    anotherLocationManager_ = ports_.location->makeSession(*this);
    anotherLocationManager_->configure(kAcquisition);
    if (ports_.supportsAlwaysAuthorization) anotherLocationManager_->requestAlwaysAuthorization();
    anotherLocationManager_->setDelivery(ports_.application->applicationState() == ApplicationState::active
                                             ? LocationDelivery::continuous
                                             : LocationDelivery::significantChanges);
}

void LocationManager::switchToSignificantChanges() { switchDelivery(LocationDelivery::significantChanges); }

void LocationManager::switchToContinuousUpdates() { switchDelivery(LocationDelivery::continuous); }

// Significant changes are the background half of acquisition: where the service lacks them, neither switch
// happens and the current mode keeps running.
void LocationManager::switchDelivery(LocationDelivery delivery) {
    if (!ports_.location->significantLocationChangeMonitoringAvailable()) {
        Console::print("Significant location change monitoring is not available.");
        return;
    }
    if (anotherLocationManager_) anotherLocationManager_->setDelivery(delivery);
}

void LocationManager::monitorRegion(std::optional<std::string> identifier, double latitude, double longitude) {
    if (!ports_.location->circularRegionMonitoringAvailable() || !anotherLocationManager_) return;
    stopCellFences();
    anotherLocationManager_->startMonitoring(CircularRegion{.identifier = std::move(identifier).value_or(""),
                                                            .center = {latitude, longitude},
                                                            .radius = kRegionRadius,
                                                            .notifyOnEntry = true,
                                                            .notifyOnExit = true});
}

void LocationManager::stopLocationUpdates() {
    if (!anotherLocationManager_) return;
    stopCellFences();
    anotherLocationManager_.reset();
}

void LocationManager::stopCellFences() {
    for (const auto& region : anotherLocationManager_->monitoredRegions()) {
        if (!isPlaceRegion(region.identifier)) anotherLocationManager_->stopMonitoring(region.identifier);
    }
}

void LocationManager::didUpdateLocations(const std::vector<LocationFix>& batch) {
    if (batch.empty()) return;
    const LocationFix& latest = batch.back();
    // A service reports "no position" as an out-of-range coordinate; such a fix is no position at all.
    if (!isValidCoordinate(latest.coordinate)) return;
    myLocation_ = latest.coordinate;
    myLocationAccuracy_ = latest.horizontalAccuracy;
    if (auto record = StoredLocation::fromFix(latest)) {
        ports_.notificationCenter->post(kPositionReceived, std::make_shared<StoredLocation>(std::move(*record)));
    }
}

void LocationManager::didEnterRegion(const CircularRegion& region) {
    // A cell fence only tells the position pipeline that the device moved on, which its exit does.
    if (!isPlaceRegion(region.identifier)) return;
    if (auto record = StoredLocation::fromRegion(region.identifier, region.center, now(), distantFuture())) {
        ports_.notificationCenter->post(kEnterRegion, std::make_shared<StoredLocation>(std::move(*record)));
    }
}

void LocationManager::didExitRegion(const CircularRegion& region) {
    ports_.notificationCenter->post(kExitRegion, UserInfo{{"identifier", region.identifier}, {"date", now()}});
    // A cell fence fires once; the pipeline sets the next one around the new position.
    if (!isPlaceRegion(region.identifier) && anotherLocationManager_) {
        anotherLocationManager_->stopMonitoring(region.identifier);
    }
}

void LocationManager::monitoringDidFail(const std::optional<CircularRegion>& region, std::string_view error) {
    Console::print("monitoringDidFailForRegion " + (region ? region->identifier : std::string()) + ": " +
                   std::string(error));
}

Timestamp LocationManager::now() const { return timestampFromSystemTime(ports_.clock->now()); }

}  // namespace fenk
