#pragma once

#include <chrono>

namespace fenk {

using SystemTime = std::chrono::system_clock::time_point;
using Duration = std::chrono::nanoseconds;

// Wall-clock time. The SDK never reads the system clock directly so that tests can move time.
class Clock {
public:
    virtual ~Clock() = default;
    virtual SystemTime now() const = 0;
};

}  // namespace fenk
