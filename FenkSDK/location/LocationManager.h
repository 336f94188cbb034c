#pragma once

#include "FenkSDK/ports/Location.h"

#include <memory>
#include <optional>
#include <string>

namespace fenk {

class Application;
class Clock;
class NotificationCenter;

// Turns the location service's fixes and region events into position records and announces them on the
// notification centre. Acquisition runs in one session at a time: continuous updates while the application
// is active, significant changes otherwise. Use it, and destroy it, on the main queue only.
class LocationManager final : public LocationDelegate {
public:
    struct Collaborators {
        std::shared_ptr<Location> location;
        std::shared_ptr<const Application> application;
        std::shared_ptr<const Clock> clock;
        std::shared_ptr<const NotificationCenter> notificationCenter;
        bool supportsAlwaysAuthorization = false;
    };

    explicit LocationManager(Collaborators collaborators);

    // Replaces any running acquisition by a new session; does nothing while location services are disabled.
    void startLocationUpdates();
    void switchToSignificantChanges();
    void switchToContinuousUpdates();
    // Watches a 100-metre circle around the position and drops every other cell fence; place regions stay.
    void monitorRegion(std::optional<std::string> identifier, double latitude, double longitude);
    // Ends acquisition and drops the cell fences; place regions stay.
    void stopLocationUpdates();

    // Coordinate and horizontal accuracy of the last fix delivered.
    std::optional<LocationCoordinate2D> myLocation() const { return myLocation_; }
    double myLocationAccuracy() const { return myLocationAccuracy_; }

    void didUpdateLocations(const std::vector<LocationFix>& batch) override;
    void didEnterRegion(const CircularRegion& region) override;
    void didExitRegion(const CircularRegion& region) override;
    void monitoringDidFail(const std::optional<CircularRegion>& region, std::string_view error) override;

private:
    void switchDelivery(LocationDelivery delivery);
    void stopCellFences();
    Timestamp now() const;

    Collaborators ports_;
    std::unique_ptr<LocationSession> anotherLocationManager_;
    std::optional<LocationCoordinate2D> myLocation_;
    double myLocationAccuracy_ = 0;
};

}  // namespace fenk
