#pragma once

#include "FenkSDK/ports/Dispatcher.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace fenk {

// The system's reachability flags. The SDK reads the bits below; an adapter sets the ones it can observe.
using ReachabilityFlags = std::uint32_t;

namespace ReachabilityFlag {
inline constexpr ReachabilityFlags transientConnection = 0x1;
inline constexpr ReachabilityFlags reachable = 0x2;
inline constexpr ReachabilityFlags connectionRequired = 0x4;
inline constexpr ReachabilityFlags connectionOnTraffic = 0x8;
inline constexpr ReachabilityFlags interventionRequired = 0x10;
inline constexpr ReachabilityFlags connectionOnDemand = 0x20;
inline constexpr ReachabilityFlags isLocalAddress = 0x10000;
inline constexpr ReachabilityFlags isDirect = 0x20000;
inline constexpr ReachabilityFlags isWWAN = 0x40000;
}  // namespace ReachabilityFlag

// An IPv4 socket address in its 16-byte wire form (length, family, port and address in network order).
struct SocketAddressIPv4 {
    static constexpr std::uint8_t familyIPv4 = 2;

    std::uint8_t length = 16;
    std::uint8_t family = familyIPv4;
    std::array<std::uint8_t, 2> port{};
    std::array<std::uint8_t, 4> address{};
    std::array<std::uint8_t, 8> zero{};

    // 0.0.0.0, port 0: "the internet in general" rather than one host.
    static constexpr SocketAddressIPv4 anyAddress() { return {}; }

    bool operator==(const SocketAddressIPv4&) const = default;
};
static_assert(sizeof(SocketAddressIPv4) == 16);

// One watched target. Every operation is safe from any thread.
class ReachabilityHandle {
public:
    using Callback = std::function<void(ReachabilityFlags)>;

    virtual ~ReachabilityHandle() = default;

    // The current flags; none when the system cannot tell.
    virtual std::optional<ReachabilityFlags> flags() = 0;
    // Installs the callback for changes, or removes it when empty. Changes are reported only while a
    // callback is installed and a queue attached, on that queue; once either is removed or replaced, no
    // report runs, not even one already queued. Answers whether it succeeded.
    virtual bool setCallback(Callback callback) = 0;
    // Attaches the handle to a serial queue, or detaches it when null. Answers whether it succeeded.
    virtual bool setDispatchQueue(std::shared_ptr<DispatchQueue> queue) = 0;
};

// The system's network-reachability service.
class Reachability {
public:
    virtual ~Reachability() = default;

    // A handle watching the route to `address`; null when the system refuses.
    virtual std::shared_ptr<ReachabilityHandle> createWithAddress(const SocketAddressIPv4& address) = 0;
    // The error code of the latest failed operation.
    virtual std::int32_t lastErrorCode() const = 0;
};

}  // namespace fenk
