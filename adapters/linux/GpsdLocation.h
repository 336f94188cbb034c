#pragma once

#include "FenkSDK/ports/Dispatcher.h"
#include "FenkSDK/ports/Location.h"
#include "FenkSDK/ports/SecureStore.h"
#include "adapters/linux/GpsdReceiver.h"
#include "adapters/location/EngineLocation.h"

#include <memory>
#include <string>

namespace fenk {

// The location service of a Linux device whose receiver gpsd serves: the location engine fed with the
// receiver's fixes. gpsd is reached only once a session exists, so a host that never tracks never connects.
// Use it on the main queue only, like every location service.
class GpsdLocation final : public Location {
public:
    // `store` keeps the monitored regions across processes.
    GpsdLocation(std::shared_ptr<DispatchQueue> mainQueue, std::shared_ptr<SecureStore> store, std::string host,
                 std::string port);
    ~GpsdLocation() override;

    bool locationServicesEnabled() const override { return engine_->locationServicesEnabled(); }
    bool significantLocationChangeMonitoringAvailable() const override {
        return engine_->significantLocationChangeMonitoringAvailable();
    }
    bool circularRegionMonitoringAvailable() const override { return engine_->circularRegionMonitoringAvailable(); }
    LocationAuthorizationStatus authorizationStatus() const override { return engine_->authorizationStatus(); }
    std::unique_ptr<LocationSession> makeSession(LocationDelegate& delegate) override;

private:
    const std::shared_ptr<DispatchQueue> mainQueue_;
    const std::string host_;
    const std::string port_;
    const std::shared_ptr<EngineLocation> engine_;
    // Declared last: it stops before the engine it feeds goes.
    std::unique_ptr<GpsdReceiver> receiver_;
};

}  // namespace fenk
