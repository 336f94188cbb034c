#include "FenkSDK/registration/PermittedAdvertisingIdentifier.h"

namespace fenk {

std::string permittedAdvertisingIdentifier(const Device& device) {
    if (device.systemVersionLevel() >= kTrackingConsentLevel &&
        device.trackingAuthorizationStatus() != TrackingAuthorizationStatus::authorized) {
        return {};
    }
    return device.advertisingIdentifier();
}

}  // namespace fenk
