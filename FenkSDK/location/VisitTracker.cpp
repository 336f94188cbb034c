#include "FenkSDK/location/VisitTracker.h"

#include "FenkSDK/location/LocationNotifications.h"
#include "FenkSDK/location/StoredLocation.h"
#include "FenkSDK/runtime/Console.h"
#include "FenkSDK/runtime/NotificationCenter.h"

namespace fenk {

VisitTracker::VisitTracker(Location& location, std::shared_ptr<const NotificationCenter> notificationCenter)
    : notificationCenter_(std::move(notificationCenter)), locationManager_(location.makeSession(*this)) {
    locationManager_->configure({.desiredAccuracy = LocationAccuracy::best,
                                 .activityType = LocationActivityType::otherNavigation,
                                 .pausesLocationUpdatesAutomatically = false});
    didChangeAuthorization(location.authorizationStatus());
}

void VisitTracker::didChangeAuthorization(LocationAuthorizationStatus status) {
    switch (status) {
        case LocationAuthorizationStatus::restricted:
        case LocationAuthorizationStatus::denied:
            Console::print("User has not given access to location data");
            break;
        case LocationAuthorizationStatus::authorizedAlways:
        case LocationAuthorizationStatus::authorizedWhenInUse:
            locationManager_->startMonitoringVisits();
            break;
        case LocationAuthorizationStatus::notDetermined:
            locationManager_->requestAlwaysAuthorization();
            break;
    }
}

void VisitTracker::didVisit(const Visit& visit) {
    if (auto record = StoredLocation::fromVisit(visit.coordinate, visit.arrivalDate, visit.departureDate)) {
        notificationCenter_->post(kPositionReceived, std::make_shared<StoredLocation>(std::move(*record)));
    }
}

}  // namespace fenk
