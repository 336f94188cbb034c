#pragma once

#include "FenkSDK/ports/Device.h"

#include <mutex>

namespace fenk {

// The machine the SDK runs on. The hardware model is the kernel's machine name, the system version the
// distribution's version (os-release), or the kernel release when the distribution names none. A desktop
// has no cellular provider and no advertising identifier of its own: the host supplies them, and the
// user's tracking decision, through the setters (any thread).
class LinuxDevice final : public Device {
public:
    // The level version-dependent behaviour sees: every current rule applies.
    static constexpr SystemVersionLevel kSystemVersionLevel{17, 0};

    // Reads the machine's facts once.
    LinuxDevice();

    std::string hardwareModel() const override;
    std::string systemVersion() const override;
    std::optional<Carrier> carrier() const override;
    std::string advertisingIdentifier() const override;
    TrackingAuthorizationStatus trackingAuthorizationStatus() const override;
    SystemVersionLevel systemVersionLevel() const override;
    // Read at every call, so a change of the system's settings is seen at once.
    std::string timeZoneIdentifier() const override;
    std::string localeIdentifier() const override;

    void setCarrier(std::optional<Carrier> carrier);
    void setAdvertisingIdentifier(std::string identifier);
    void setTrackingAuthorizationStatus(TrackingAuthorizationStatus status);

private:
    // What the kernel reports about itself, read in one call for both facts that need it.
    struct KernelFacts;
    explicit LinuxDevice(const KernelFacts& kernel);

    const std::string hardwareModel_;
    const std::string systemVersion_;
    mutable std::mutex mutex_;
    std::optional<Carrier> carrier_;
    std::string advertisingIdentifier_;
    TrackingAuthorizationStatus trackingAuthorizationStatus_ = TrackingAuthorizationStatus::notDetermined;
};

}  // namespace fenk
