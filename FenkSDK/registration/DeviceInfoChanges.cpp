#include "FenkSDK/registration/DeviceInfoChanges.h"

#include "FenkSDK/registration/PermittedAdvertisingIdentifier.h"
#include "FenkSDK/registration/RegistrationConstants.h"

#include <map>
#include <string_view>

namespace fenk {
namespace {

bool differs(const std::optional<std::string>& known, std::string_view current) { return !known || *known != current; }

std::map<std::string, std::string, std::less<>> extraLookup(const std::vector<FG_Extra>& extra) {
    std::map<std::string, std::string, std::less<>> lookup;
    for (const auto& entry : extra) {
        if (entry.name && entry.value) lookup.insert_or_assign(*entry.name, *entry.value);
    }
    return lookup;
}

}  // namespace

RequestParameters deviceInfoChanges(const std::optional<FG_Account>& account, const Device& device,
                                    const std::optional<std::string>& storedNotificationsToken) {
    RequestParameters fields;
    const std::string version = device.systemVersion();
    if (!account || differs(account->mobileVersion, version)) fields.emplace_back("version", version);
    if (storedNotificationsToken && (!account || differs(account->mobileToken, *storedNotificationsToken))) {
        fields.emplace_back("notificationsToken", *storedNotificationsToken);
    }
    const std::string model = device.hardwareModel();
    if (!account || differs(account->mobileDevice, model)) fields.emplace_back("device", model);

    const auto carrier = device.carrier();
    const auto carrierName = carrier ? carrier->carrierName : std::nullopt;
    const auto countryCode = carrier ? carrier->isoCountryCode : std::nullopt;
    const std::string advertisingId = permittedAdvertisingIdentifier(device);
    const std::string versionName(kSdkVersionName);

    if (account && account->extra) {
        const auto lookup = extraLookup(*account->extra);
        const auto known = [&lookup](std::string_view name) -> std::optional<std::string> {
            const auto found = lookup.find(name);
            return found == lookup.end() ? std::nullopt : std::optional(found->second);
        };
        if (carrierName && differs(known("carrier"), *carrierName)) fields.emplace_back("carrier", *carrierName);
        if (countryCode && differs(known("countryCode"), *countryCode))
            fields.emplace_back("countryCode", *countryCode);
        if (differs(known("adId"), advertisingId)) fields.emplace_back("adId", advertisingId);
        if (differs(known("versionName"), versionName)) fields.emplace_back("versionName", versionName);
    } else {
        if (carrierName) fields.emplace_back("carrier", *carrierName);
        if (countryCode) fields.emplace_back("countryCode", *countryCode);
        if (!advertisingId.empty()) fields.emplace_back("adId", advertisingId);
        fields.emplace_back("versionName", versionName);
    }
    return fields;
}

}  // namespace fenk
