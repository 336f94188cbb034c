#include "adapters/location/TraceBuilder.h"

#include "FenkSDK/places/GreatCircle.h"

#include <chrono>
#include <cmath>
#include <utility>

namespace fenk {

std::optional<TraceError> TraceBuilder::add(const LocationFix& fix, std::size_t line) {
    if (fixes_.size() >= limits_.maxPoints) {
        return TraceError{line, "more than " + std::to_string(limits_.maxPoints) + " points"};
    }
    fixes_.push_back(fix);
    lines_.push_back(line);
    return std::nullopt;
}

TraceResult TraceBuilder::finish() && {
    if (fixes_.empty()) return TraceError{0, "no timed points"};
    for (std::size_t i = 1; i < fixes_.size(); ++i) {
        const LocationFix& previous = fixes_[i - 1];
        LocationFix& fix = fixes_[i];
        if (fix.timestamp < previous.timestamp) return TraceError{lines_[i], "time goes backwards"};
        const double seconds = std::chrono::duration<double>(fix.timestamp - previous.timestamp).count();
        const double meters = distanceMeters(previous.coordinate, fix.coordinate);
        // Two points at the same instant give no speed, and a point that did not move gives no direction.
        if (std::isnan(fix.speed) && seconds > 0) fix.speed = meters / seconds;
        if (std::isnan(fix.course) && meters > 0) fix.course = initialBearingDegrees(previous.coordinate, fix.coordinate);
    }
    return std::move(fixes_);
}

}  // namespace fenk
