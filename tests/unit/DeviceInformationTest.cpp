#include "FenkSDK/registration/DeviceInformation.h"

#include <gtest/gtest.h>

namespace fenk {
namespace {

TEST(DeviceInformationTest, NamesOnlyTheFactsThatArePresent) {
    const struct {
        std::string advertisingIdentifier;
        std::optional<Carrier> carrier;
        std::string expected;
    } cases[] = {
        {"", std::nullopt, "versionName:2.0.5"},
        {"AD-1", std::nullopt, "adId:AD-1,versionName:2.0.5"},
        {"", Carrier{"Telco", "es"}, "carrier:Telco,countryCode:es,versionName:2.0.5"},
        {"AD-1", Carrier{"Telco", std::nullopt}, "adId:AD-1,carrier:Telco,versionName:2.0.5"},
        {"AD-1", Carrier{std::nullopt, "es"}, "adId:AD-1,versionName:2.0.5"},  // no name, no country
    };
    for (const auto& [advertisingIdentifier, carrier, expected] : cases) {
        EXPECT_EQ(deviceInformation(advertisingIdentifier, carrier), expected);
    }
}

}  // namespace
}  // namespace fenk
