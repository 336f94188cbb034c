#pragma once

#include "FenkSDK/location/LocationCoordinate2D.h"
#include "FenkSDK/location/LocationFix.h"
#include "FenkSDK/location/Timestamp.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fenk {

// What the user allowed the SDK to do with location. The raw values are fixed.
enum class LocationAuthorizationStatus : int {
    notDetermined = 0,
    restricted = 1,
    denied = 2,
    authorizedAlways = 3,
    authorizedWhenInUse = 4,
};

enum class LocationAccuracy { bestForNavigation, best };

// What the device is used for; a service may tune its power use to it. The raw values are fixed.
enum class LocationActivityType : int { other = 1, automotiveNavigation = 2, fitness = 3, otherNavigation = 4 };

// How a session delivers fixes: not at all, every fix that passes the distance filter, or only significant
// changes of position.
enum class LocationDelivery { off, continuous, significantChanges };

struct LocationSessionConfiguration {
    LocationAccuracy desiredAccuracy = LocationAccuracy::best;
    LocationActivityType activityType = LocationActivityType::other;
    bool pausesLocationUpdatesAutomatically = true;
    // Metres a fix must lie from the last one delivered; 0 delivers every fix.
    double distanceFilter = 0;

    friend bool operator==(const LocationSessionConfiguration&, const LocationSessionConfiguration&) = default;
};

struct CircularRegion {
    std::string identifier;
    LocationCoordinate2D center{};
    double radius = 0;  // metres
    bool notifyOnEntry = true;
    bool notifyOnExit = true;

    friend bool operator==(const CircularRegion&, const CircularRegion&) = default;
};

// A place where the device stayed. A departure of distantFuture() means it is still there.
struct Visit {
    LocationCoordinate2D coordinate{};
    Timestamp arrivalDate{};
    Timestamp departureDate{};

    friend bool operator==(const Visit&, const Visit&) = default;
};

// Receives what a session delivers, always on the main queue. Every callback does nothing by default.
class LocationDelegate {
public:
    virtual ~LocationDelegate() = default;
    // Oldest first; never empty.
    virtual void didUpdateLocations(const std::vector<LocationFix>&) {}
    virtual void didEnterRegion(const CircularRegion&) {}
    virtual void didExitRegion(const CircularRegion&) {}
    virtual void monitoringDidFail(const std::optional<CircularRegion>&, std::string_view /*error*/) {}
    virtual void didVisit(const Visit&) {}
    virtual void didChangeAuthorization(LocationAuthorizationStatus) {}
    virtual void didFail(std::string_view /*error*/) {}
};

// One client's use of the location service. A new session delivers nothing until switched on; destroying
// it stops everything it delivers. Use it, and destroy it, on the main queue only.
class LocationSession {
public:
    virtual ~LocationSession() = default;

    virtual void configure(const LocationSessionConfiguration& configuration) = 0;
    virtual void requestAlwaysAuthorization() = 0;
    virtual void setDelivery(LocationDelivery delivery) = 0;
    virtual void startMonitoringVisits() = 0;

    // Monitored regions belong to the application, not to one session: every session lists, starts and
    // stops the same set, it outlives the process, and each session's delegate hears its events. Starting a
    // region under an identifier already monitored replaces that region.
    virtual std::vector<CircularRegion> monitoredRegions() const = 0;
    virtual void startMonitoring(const CircularRegion& region) = 0;
    virtual void stopMonitoring(std::string_view identifier) = 0;
};

// The location service of the device. Use it on the main queue only.
class Location {
public:
    virtual ~Location() = default;

    virtual bool locationServicesEnabled() const = 0;
    virtual bool significantLocationChangeMonitoringAvailable() const = 0;
    virtual bool circularRegionMonitoringAvailable() const = 0;
    virtual LocationAuthorizationStatus authorizationStatus() const = 0;

    // The delegate must outlive the session.
    virtual std::unique_ptr<LocationSession> makeSession(LocationDelegate& delegate) = 0;
};

}  // namespace fenk
