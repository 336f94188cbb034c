#pragma once

#include <compare>
#include <optional>
#include <string>

namespace fenk {

// Whether the user lets the host track them for advertising. The raw values are fixed, so a host may keep
// or pass them as plain numbers.
enum class TrackingAuthorizationStatus : int { notDetermined = 0, restricted = 1, denied = 2, authorized = 3 };

// The cellular provider of the device. The registration asks for the first provider and the device update
// for "the" provider; a device exposes one, so a single operation answers both.
struct Carrier {
    std::optional<std::string> carrierName{};
    std::optional<std::string> isoCountryCode{};
};

// The operating system's version level that version-dependent behaviour compares against ("14.0 and later").
struct SystemVersionLevel {
    int major = 0;
    int minor = 0;

    friend constexpr auto operator<=>(const SystemVersionLevel&, const SystemVersionLevel&) = default;
};

// The facts about the device that the platform keeps a copy of. Safe to use from any thread.
class Device {
public:
    virtual ~Device() = default;

    // Hardware model identifier, e.g. "x86_64".
    virtual std::string hardwareModel() const = 0;
    // The operating system's version as it presents itself, e.g. "12" or "22.04".
    virtual std::string systemVersion() const = 0;
    // None when the device has no cellular provider.
    virtual std::optional<Carrier> carrier() const = 0;
    // The advertising identifier as upper-case UUID text; empty when the device has none.
    virtual std::string advertisingIdentifier() const = 0;
    virtual TrackingAuthorizationStatus trackingAuthorizationStatus() const = 0;
    virtual SystemVersionLevel systemVersionLevel() const = 0;
    // The calendar the user lives by: an IANA time zone identifier such as "Europe/Madrid", and a locale
    // identifier such as "es_ES" (its region decides which days are the weekend).
    virtual std::string timeZoneIdentifier() const = 0;
    virtual std::string localeIdentifier() const = 0;
};

}  // namespace fenk
