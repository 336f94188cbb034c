#include "FenkSDK/engagement/AdvertisingConsent.h"

#include "FenkSDK/ports/Device.h"

namespace fenk {
namespace {

// Earlier systems hand out the identifier without asking the user.
constexpr SystemVersionLevel kFirstConsentVersion{14, 0};

}  // namespace

std::string advertisingIdWithConsent(const Device& device) {
    if (device.systemVersionLevel() < kFirstConsentVersion) return device.advertisingIdentifier();
    switch (device.trackingAuthorizationStatus()) {
        case TrackingAuthorizationStatus::restricted:
            return "AdId-Restricted";
        case TrackingAuthorizationStatus::denied:
            return "AdId-Denied";
        case TrackingAuthorizationStatus::authorized:
            return device.advertisingIdentifier();
        case TrackingAuthorizationStatus::notDetermined:
            break;
    }
    return "";
}

}  // namespace fenk
