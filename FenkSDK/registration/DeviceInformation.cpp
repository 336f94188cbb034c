#include "FenkSDK/registration/DeviceInformation.h"

#include "FenkSDK/registration/RegistrationConstants.h"

namespace fenk {

std::string deviceInformation(std::string_view advertisingIdentifier, const std::optional<Carrier>& carrier) {
    std::string text;
    if (!advertisingIdentifier.empty()) {
        text.append("adId:").append(advertisingIdentifier).append(",");
    }
    if (carrier && carrier->carrierName) {
        text.append("carrier:").append(*carrier->carrierName);
        if (carrier->isoCountryCode) text.append(",countryCode:").append(*carrier->isoCountryCode);
        text.append(",");
    }
    return text.append("versionName:").append(kSdkVersionName);
}

}  // namespace fenk
