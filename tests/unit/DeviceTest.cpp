#include "FenkSDK/ports/Device.h"

#include "FenkSDK/registration/PermittedAdvertisingIdentifier.h"
#include "adapters/fake/FakeDevice.h"
#include "contract/DeviceContract.h"

#include <gtest/gtest.h>

namespace fenk {

namespace contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, DeviceContract, FakeDevice);
}  // namespace contract

namespace {

TEST(DeviceTest, AdvertisingIdentifierNeedsConsentFromLevelFourteenOn) {
    using enum TrackingAuthorizationStatus;
    const struct {
        SystemVersionLevel level;
        TrackingAuthorizationStatus status;
        std::string permitted;
    } cases[] = {
        {{13, 7}, denied, "AD-1"},  {{14, 0}, authorized, "AD-1"}, {{14, 0}, notDetermined, ""},
        {{14, 0}, restricted, ""}, {{17, 2}, denied, ""},
    };
    for (const auto& [level, status, permitted] : cases) {
        FakeDevice device;
        device.setAdvertisingIdentifier("AD-1");
        device.setSystemVersionLevel(level);
        device.setTrackingAuthorizationStatus(status);
        EXPECT_EQ(permittedAdvertisingIdentifier(device), permitted) << level.major << " " << static_cast<int>(status);
    }
}

}  // namespace
}  // namespace fenk
