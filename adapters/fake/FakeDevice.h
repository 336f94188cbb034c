#pragma once

#include "FenkSDK/ports/Device.h"

#include <mutex>

namespace fenk {

// A device whose every fact a test sets. Starts as a device without carrier, advertising id or tracking
// decision, at a current system version level, in UTC with a United States calendar.
class FakeDevice final : public Device {
public:
    std::string hardwareModel() const override;
    std::string systemVersion() const override;
    std::optional<Carrier> carrier() const override;
    std::string advertisingIdentifier() const override;
    TrackingAuthorizationStatus trackingAuthorizationStatus() const override;
    SystemVersionLevel systemVersionLevel() const override;
    std::string timeZoneIdentifier() const override;
    std::string localeIdentifier() const override;

    void setHardwareModel(std::string model);
    void setSystemVersion(std::string version);
    void setCarrier(std::optional<Carrier> carrier);
    void setAdvertisingIdentifier(std::string identifier);
    void setTrackingAuthorizationStatus(TrackingAuthorizationStatus status);
    void setSystemVersionLevel(SystemVersionLevel level);
    void setTimeZoneIdentifier(std::string identifier);
    void setLocaleIdentifier(std::string identifier);

private:
    mutable std::mutex mutex_;
    std::string hardwareModel_ = "x86_64";
    std::string systemVersion_ = "17.0";
    std::optional<Carrier> carrier_;
    std::string advertisingIdentifier_;
    TrackingAuthorizationStatus trackingAuthorizationStatus_ = TrackingAuthorizationStatus::notDetermined;
    SystemVersionLevel systemVersionLevel_{17, 0};
    std::string timeZoneIdentifier_ = "UTC";
    std::string localeIdentifier_ = "en_US";
};

}  // namespace fenk
