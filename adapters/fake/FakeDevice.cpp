#include "adapters/fake/FakeDevice.h"

namespace fenk {

std::string FakeDevice::hardwareModel() const {
    std::lock_guard lock(mutex_);
    return hardwareModel_;
}

std::string FakeDevice::systemVersion() const {
    std::lock_guard lock(mutex_);
    return systemVersion_;
}

std::optional<Carrier> FakeDevice::carrier() const {
    std::lock_guard lock(mutex_);
    return carrier_;
}

std::string FakeDevice::advertisingIdentifier() const {
    std::lock_guard lock(mutex_);
    return advertisingIdentifier_;
}

TrackingAuthorizationStatus FakeDevice::trackingAuthorizationStatus() const {
    std::lock_guard lock(mutex_);
    return trackingAuthorizationStatus_;
}

SystemVersionLevel FakeDevice::systemVersionLevel() const {
    std::lock_guard lock(mutex_);
    return systemVersionLevel_;
}

std::string FakeDevice::timeZoneIdentifier() const {
    std::lock_guard lock(mutex_);
    return timeZoneIdentifier_;
}

std::string FakeDevice::localeIdentifier() const {
    std::lock_guard lock(mutex_);
    return localeIdentifier_;
}

void FakeDevice::setHardwareModel(std::string model) {
    std::lock_guard lock(mutex_);
    hardwareModel_ = std::move(model);
}

void FakeDevice::setSystemVersion(std::string version) {
    std::lock_guard lock(mutex_);
    systemVersion_ = std::move(version);
}

void FakeDevice::setCarrier(std::optional<Carrier> carrier) {
    std::lock_guard lock(mutex_);
    carrier_ = std::move(carrier);
}

void FakeDevice::setAdvertisingIdentifier(std::string identifier) {
    std::lock_guard lock(mutex_);
    advertisingIdentifier_ = std::move(identifier);
}

void FakeDevice::setTrackingAuthorizationStatus(TrackingAuthorizationStatus status) {
    std::lock_guard lock(mutex_);
    trackingAuthorizationStatus_ = status;
}

void FakeDevice::setSystemVersionLevel(SystemVersionLevel level) {
    std::lock_guard lock(mutex_);
    systemVersionLevel_ = level;
}

void FakeDevice::setTimeZoneIdentifier(std::string identifier) {
    std::lock_guard lock(mutex_);
    timeZoneIdentifier_ = std::move(identifier);
}

void FakeDevice::setLocaleIdentifier(std::string identifier) {
    std::lock_guard lock(mutex_);
    localeIdentifier_ = std::move(identifier);
}

}  // namespace fenk
