#pragma once

#include "FenkSDK/location/LocationFix.h"
#include "FenkSDK/ports/Dispatcher.h"
#include "FenkSDK/ports/Location.h"
#include "FenkSDK/ports/SecureStore.h"
#include "adapters/location/PersistedRegions.h"
#include "adapters/location/RegionMonitor.h"
#include "adapters/location/VisitDetector.h"

#include <memory>
#include <vector>

namespace fenk {

// The location service where the operating system offers none: a source (a receiver, a recorded trace)
// feeds it raw fixes and it delivers what each session asked for: fixes through its distance filter or
// significant changes only, visits, and entries and exits of the monitored regions, which it keeps in the
// secure store across processes. Use it, and its sessions, on the main queue only; it must outlive them.
class EngineLocation final : public Location {
public:
    EngineLocation(std::shared_ptr<DispatchQueue> mainQueue, std::shared_ptr<SecureStore> store,
                   LocationAuthorizationStatus status = LocationAuthorizationStatus::authorizedAlways);
    ~EngineLocation() override;

    bool locationServicesEnabled() const override { return true; }
    bool significantLocationChangeMonitoringAvailable() const override { return true; }
    bool circularRegionMonitoringAvailable() const override { return true; }
    LocationAuthorizationStatus authorizationStatus() const override { return status_; }
    std::unique_ptr<LocationSession> makeSession(LocationDelegate& delegate) override;

    // One raw fix from the source, on the main queue. The sessions hear of it before this returns. A fix
    // without a valid coordinate is dropped; without authorization nothing is delivered.
    void ingest(const LocationFix& fix);

    // The regions watched now, whichever session asked for them.
    std::vector<CircularRegion> monitoredRegions() const { return regions_.regions(); }

private:
    class Session;
    struct SessionState;

    template <class Wanted, class Call>
    void forEachLiveSession(Wanted wanted, Call call);
    void removeDeadSessions();
    void regionsChanged();

    std::shared_ptr<DispatchQueue> mainQueue_;
    LocationAuthorizationStatus status_;
    PersistedRegions persisted_;
    RegionMonitor regions_;
    VisitDetector visits_;
    std::vector<std::shared_ptr<SessionState>> sessions_;
    // Kept between fixes so that a fix causing no event allocates nothing.
    std::vector<RegionEvent> regionEvents_;
    int deliveries_ = 0;  // nesting depth: sessions destroyed meanwhile leave the list only afterwards
};

}  // namespace fenk
