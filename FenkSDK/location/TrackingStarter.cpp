#include "FenkSDK/location/TrackingStarter.h"

#include "FenkSDK/UserDefault.h"
#include "FenkSDK/location/SupportsAlwaysAuthorization.h"
#include "FenkSDK/ports/Device.h"
#include "FenkSDK/ports/Preferences.h"

namespace fenk {

TrackingStarter::TrackingStarter(Collaborators collaborators) : ports_(std::move(collaborators)) {}

bool TrackingStarter::trackingActive() const { return ports_.preferences->boolean(settingsKeys::kFenkActiveTracking); }

void TrackingStarter::startTracking() {
    if (!trackingActive()) {
        // The user turned tracking off: nothing may keep delivering positions. Place regions stay, as the
        // places they watch stay relevant.
        if (locationManager_) locationManager_->stopLocationUpdates();
        visitTracker_.reset();
        return;
    }
    if (!locationManager_) {
        locationManager_ = std::make_unique<LocationManager>(LocationManager::Collaborators{
            .location = ports_.location,
            .application = ports_.application,
            .clock = ports_.clock,
            .notificationCenter = ports_.notificationCenter,
            .supportsAlwaysAuthorization = supportsAlwaysAuthorization(ports_.device->systemVersion())});
    }
    if (!visitTracker_) visitTracker_ = std::make_unique<VisitTracker>(*ports_.location, ports_.notificationCenter);
    locationManager_->startLocationUpdates();
}

void TrackingStarter::startBackgroundLocation() {
    if (trackingActive() && locationManager_) locationManager_->switchToSignificantChanges();
}

void TrackingStarter::startForegroundLocation() {
    if (trackingActive() && locationManager_) locationManager_->switchToContinuousUpdates();
}

}  // namespace fenk
