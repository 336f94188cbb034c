#pragma once

#include "FenkSDK/ports/Reachability.h"

#include <cstdint>
#include <string>
#include <variant>

namespace fenk {

// Why the reachability monitor could not be created, started or read. Every case carries the system's
// error code at the moment of the failure.
struct FenkReachabilityError {
    enum class Case {
        failedToCreateWithAddress,
        // Kept for hosts that match on it; the SDK never creates a monitor for a host name.
        failedToCreateWithHostname,
        unableToSetCallback,
        unableToSetDispatchQueue,
        unableToGetFlags,
    };

    Case kind;
    std::int32_t errorCode = 0;
    // What a failed creation was asked for: the socket address or the host name.
    std::variant<std::monostate, SocketAddressIPv4, std::string> subject;

    bool operator==(const FenkReachabilityError&) const = default;
};

}  // namespace fenk
