#pragma once

#include "FenkSDK/ports/Device.h"
#include "FenkSDK/registration/PermittedAdvertisingIdentifier.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

namespace fenk::contract {

// Behaviour every Device implementation shares. Instantiate with the device type itself: default
// constructible, with the host setters setCarrier, setAdvertisingIdentifier and setTrackingAuthorizationStatus.
template <class ConcreteDevice>
class DeviceContract : public ::testing::Test {
protected:
    ConcreteDevice device_;
};

TYPED_TEST_SUITE_P(DeviceContract);

TYPED_TEST_P(DeviceContract, StartsWithoutHostFactsAndTakesThemFromAnyThread) {
    auto& device = this->device_;
    EXPECT_FALSE(device.hardwareModel().empty());
    EXPECT_FALSE(device.systemVersion().empty());
    EXPECT_GE(device.systemVersionLevel(), kTrackingConsentLevel);
    EXPECT_EQ(device.carrier(), std::nullopt);
    EXPECT_EQ(permittedAdvertisingIdentifier(device), "");

    std::jthread host([&device] {
        device.setCarrier(Carrier{"Telco", "es"});
        device.setAdvertisingIdentifier("AD-1");
        device.setTrackingAuthorizationStatus(TrackingAuthorizationStatus::authorized);
    });
    // Reads race the host's writes on purpose (the sanitizers watch them), for a bounded time.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (permittedAdvertisingIdentifier(device).empty() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
    }
    host.join();
    EXPECT_EQ(permittedAdvertisingIdentifier(device), "AD-1");
    ASSERT_TRUE(device.carrier());
    EXPECT_EQ(device.carrier()->isoCountryCode, "es");
}

// The stay analysis builds the device's calendar from these two names.
TYPED_TEST_P(DeviceContract, NamesItsCalendar) {
    const std::string zone = this->device_.timeZoneIdentifier();
    const std::string locale = this->device_.localeIdentifier();
    EXPECT_FALSE(zone.empty());
    EXPECT_NE(zone.front(), ':');
    EXPECT_NE(zone.front(), '/');
    EXPECT_FALSE(locale.empty());
    EXPECT_EQ(locale.find_first_of(".@"), std::string::npos) << locale;
}

REGISTER_TYPED_TEST_SUITE_P(DeviceContract, StartsWithoutHostFactsAndTakesThemFromAnyThread, NamesItsCalendar);

}  // namespace fenk::contract
