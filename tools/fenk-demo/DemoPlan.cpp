#include "tools/fenk-demo/DemoPlan.h"

namespace fenk {
namespace {

// [from, to) as fractions of the trace's span.
Stretch fraction(SystemTime first, SystemTime last, double from, double to) {
    const auto span = std::chrono::duration<double>(last - first);
    const auto at = [&](double part) { return first + std::chrono::duration_cast<Duration>(span * part); };
    return {at(from), at(to)};
}

}  // namespace

DemoPlan planDisruptions(SystemTime first, SystemTime last) {
    // Over four weeks: offline for 20 hours in the second week and 13 in the third, and 40 hours of refusals
    // in between.
    return {.offline = {fraction(first, last, 0.30, 0.33), fraction(first, last, 0.70, 0.72)},
            .faults = fraction(first, last, 0.45, 0.51)};
}

}  // namespace fenk
