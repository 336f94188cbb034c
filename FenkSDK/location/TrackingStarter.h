#pragma once

#include "FenkSDK/location/LocationManager.h"
#include "FenkSDK/location/VisitTracker.h"

#include <memory>

namespace fenk {

class Application;
class Clock;
class Device;
class Location;
class NotificationCenter;
class Preferences;

// Starts, switches and stops location acquisition and visit monitoring as the stored tracking flag and the
// application's lifecycle say. Use it, and destroy it, on the main queue only.
class TrackingStarter {
public:
    struct Collaborators {
        std::shared_ptr<const Preferences> preferences;
        std::shared_ptr<Location> location;
        std::shared_ptr<const Application> application;
        std::shared_ptr<const Device> device;
        std::shared_ptr<const Clock> clock;
        std::shared_ptr<const NotificationCenter> notificationCenter;
    };

    explicit TrackingStarter(Collaborators collaborators);

    // With the flag set: creates what is missing and restarts acquisition. With the flag cleared: stops
    // acquisition, visits and the cell fences.
    void startTracking();
    // Leaving or entering the foreground, with the flag set: significant changes or continuous updates.
    void startBackgroundLocation();
    void startForegroundLocation();

    // Absent until the first start with the flag set.
    LocationManager* locationManager() const { return locationManager_.get(); }
    VisitTracker* visitTracker() const { return visitTracker_.get(); }

private:
    bool trackingActive() const;

    Collaborators ports_;
    std::unique_ptr<LocationManager> locationManager_;
    std::unique_ptr<VisitTracker> visitTracker_;
};

}  // namespace fenk
