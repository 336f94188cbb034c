#pragma once

#include "FenkSDK/location/LocationFix.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace fenk {

// Why a trace was refused, and where. Line 0 stands for the file as a whole.
struct TraceError {
    std::size_t line{};
    std::string message;

    // "line 12: time goes backwards", or the message alone for the whole file.
    std::string describe() const { return line == 0 ? message : "line " + std::to_string(line) + ": " + message; }

    friend bool operator==(const TraceError&, const TraceError&) = default;
};

// What a reader accepts before refusing: a recorded month fits far below both.
struct TraceLimits {
    std::uintmax_t maxBytes{512ULL * 1024 * 1024};
    std::size_t maxPoints{10'000'000};
};

// The fixes in time order, or the reason there are none.
using TraceResult = std::variant<std::vector<LocationFix>, TraceError>;

}  // namespace fenk
