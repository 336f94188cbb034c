#pragma once

#include "FenkSDK/ports/Dispatcher.h"
#include "FenkSDK/ports/Location.h"

#include <memory>
#include <string>
#include <vector>

namespace fenk {

// A location service whose every event a test scripts. Events reach the delegates through the main queue,
// as a real service's do, and only those of sessions still alive when the main queue runs them. Monitored
// regions are shared by every session, as on a device.
class ScriptedLocation final : public Location {
public:
    // What a session was told to do, as the test inspects it.
    struct SessionRecord {
        LocationSessionConfiguration configuration{};
        LocationDelivery delivery = LocationDelivery::off;
        bool monitorsVisits = false;
        int alwaysAuthorizationRequests = 0;
        bool alive = true;
    };

    explicit ScriptedLocation(std::shared_ptr<DispatchQueue> mainQueue);
    ~ScriptedLocation() override;

    bool locationServicesEnabled() const override { return servicesEnabled_; }
    bool significantLocationChangeMonitoringAvailable() const override { return significantChangesAvailable_; }
    bool circularRegionMonitoringAvailable() const override { return regionMonitoringAvailable_; }
    LocationAuthorizationStatus authorizationStatus() const override { return authorizationStatus_; }
    std::unique_ptr<LocationSession> makeSession(LocationDelegate& delegate) override;

    void setLocationServicesEnabled(bool enabled) { servicesEnabled_ = enabled; }
    void setSignificantLocationChangeMonitoringAvailable(bool available) { significantChangesAvailable_ = available; }
    void setCircularRegionMonitoringAvailable(bool available) { regionMonitoringAvailable_ = available; }
    // Tells every session of the change.
    void setAuthorizationStatus(LocationAuthorizationStatus status);

    // To every session that delivers fixes, whichever way.
    void deliverFixes(std::vector<LocationFix> batch);
    // To every session that monitors visits.
    void deliverVisit(Visit visit);
    // To every session, for a monitored region; an identifier not monitored is ignored.
    void enterRegion(std::string_view identifier);
    void exitRegion(std::string_view identifier);
    void failMonitoring(std::string_view identifier, std::string error);

    // Every session made so far, in order of creation.
    std::vector<SessionRecord> sessions() const;
    std::vector<CircularRegion> monitoredRegions() const { return regions_; }

private:
    class Session;
    struct SessionState;

    template <class Wanted, class Event>
    void deliver(Wanted wanted, Event event);
    std::optional<CircularRegion> region(std::string_view identifier) const;

    std::shared_ptr<DispatchQueue> mainQueue_;
    bool servicesEnabled_ = true;
    bool significantChangesAvailable_ = true;
    bool regionMonitoringAvailable_ = true;
    LocationAuthorizationStatus authorizationStatus_ = LocationAuthorizationStatus::authorizedAlways;
    std::vector<CircularRegion> regions_;
    std::vector<std::shared_ptr<SessionState>> sessions_;
};

}  // namespace fenk
