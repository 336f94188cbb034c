#include "adapters/location/CommuterTrace.h"

#include "FenkSDK/places/GreatCircle.h"
#include "adapters/location/TraceUnits.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <random>

namespace fenk {
namespace {

using namespace std::chrono_literals;
using std::chrono::days;
using std::chrono::microseconds;

constexpr LocationCoordinate2D kCityCentre{40.4168, -3.7038};
constexpr double kCityAltitude = 650;
constexpr int kMostWeeks = 520;
constexpr double kMetersPerDegree = kEarthRadiusMeters * std::numbers::pi / 180;

// Draws from the engine with arithmetic of our own: the standard distributions give different numbers in
// different standard libraries, and a seed must give the same trace everywhere.
class Random {
public:
    explicit Random(std::uint64_t seed) : engine_(seed) {}

    double uniform(double low, double high) {
        return low + (high - low) * static_cast<double>(engine_() >> 11) * 0x1.0p-53;
    }

    // Close to a normal distribution: the sum of four uniform draws, scaled to the given deviation.
    double gaussian(double deviation) {
        double sum = 0;
        for (int i = 0; i < 4; ++i) sum += uniform(0, 1);
        return (sum - 2) * std::numbers::sqrt3 * deviation;
    }

    microseconds duration(microseconds low, microseconds high) {
        return microseconds{static_cast<std::int64_t>(uniform(static_cast<double>(low.count()), static_cast<double>(high.count())))};
    }

    std::size_t index(std::size_t count) { return static_cast<std::size_t>(uniform(0, static_cast<double>(count))) % count; }

private:
    std::mt19937_64 engine_;
};

LocationCoordinate2D offset(LocationCoordinate2D from, double northMeters, double eastMeters) {
    const double latitude = from.latitude + northMeters / kMetersPerDegree;
    const double longitude =
        from.longitude + eastMeters / (kMetersPerDegree * std::cos(from.latitude * std::numbers::pi / 180));
    return {latitude, longitude};
}

LocationCoordinate2D between(LocationCoordinate2D from, LocationCoordinate2D to, double fraction) {
    return {from.latitude + (to.latitude - from.latitude) * fraction,
            from.longitude + (to.longitude - from.longitude) * fraction};
}

// Somewhere `low` to `high` metres away, in any direction.
LocationCoordinate2D somewhereAround(Random& random, LocationCoordinate2D centre, double low, double high) {
    const double meters = random.uniform(low, high);
    const double angle = random.uniform(0, 2 * std::numbers::pi);
    return offset(centre, meters * std::cos(angle), meters * std::sin(angle));
}

class Commuter {
public:
    explicit Commuter(const CommuterOptions& options) : random_(options.seed) {
        home_ = somewhereAround(random_, kCityCentre, 0, 3000);
        work_ = somewhereAround(random_, home_, 4000, 9000);
        for (auto& place : others_) place = somewhereAround(random_, home_, 1500, 5000);

        const auto localDays = std::chrono::floor<days>((options.start + options.utcOffset).time_since_epoch());
        firstLocalDay_ = std::chrono::sys_days{detail::kTimestampEpoch + localDays};
        begin_ = Timestamp{localDays} - options.utcOffset;
        dayCount_ = std::clamp(options.weeks, 0, kMostWeeks) * 7;
        now_ = begin_;
    }

    CommuterTrace run() && {
        for (int day = 0; day < dayCount_; ++day) {
            const Timestamp midnight = begin_ + days{day};
            const std::chrono::weekday weekday{firstLocalDay_ + days{day}};
            if (weekday == std::chrono::Saturday || weekday == std::chrono::Sunday) {
                weekend(midnight);
            } else {
                workday(midnight);
            }
        }
        stayUntil(StayPlace::home, home_, begin_ + days{dayCount_});
        return std::move(trace_);
    }

private:
    void workday(Timestamp midnight) {
        const microseconds commute = random_.duration(20min, 40min);
        const Timestamp atWork = midnight + 9h + microseconds{static_cast<std::int64_t>(random_.gaussian(5 * 60e6))};
        stayUntil(StayPlace::home, home_, atWork - commute);
        travel(home_, work_, commute);
        const Timestamp leaving = midnight + 17h + 30min + microseconds{static_cast<std::int64_t>(random_.gaussian(10 * 60e6))};
        stayUntil(StayPlace::work, work_, leaving);
        travel(work_, home_, random_.duration(20min, 40min));
    }

    // One outing in the morning or the afternoon, or both; each is back well before the next could start.
    void weekend(Timestamp midnight) {
        const double choice = random_.uniform(0, 3);
        if (choice < 2) outing(midnight + 9h + 30min);
        if (choice >= 1) outing(midnight + 15h);
    }

    void outing(Timestamp earliest) {
        const LocationCoordinate2D place = others_[random_.index(others_.size())];
        stayUntil(StayPlace::home, home_, earliest + random_.duration(0min, 90min));
        travel(home_, place, random_.duration(10min, 25min));
        stayUntil(StayPlace::other, place, now_ + random_.duration(60min, 150min));
        travel(place, home_, random_.duration(10min, 25min));
    }

    void stayUntil(StayPlace place, LocationCoordinate2D centre, Timestamp departure) {
        trace_.stays.push_back(Stay{place, centre, now_, departure});
        for (; now_ < departure; now_ += random_.duration(55s, 65s)) {
            record(offset(centre, random_.gaussian(4), random_.gaussian(4)), 0, kUnknownValue);
        }
        now_ = departure;
    }

    // Along one street then another, at a steady pace.
    void travel(LocationCoordinate2D from, LocationCoordinate2D to, microseconds duration) {
        const LocationCoordinate2D corner{from.latitude, to.longitude};
        const double firstLeg = distanceMeters(from, corner);
        const double length = firstLeg + distanceMeters(corner, to);
        const double seconds = std::chrono::duration<double>(duration).count();
        const double speed = length / seconds;
        const Timestamp departure = now_;
        const Timestamp arrival = departure + duration;
        for (now_ += random_.duration(5s, 10s); now_ < arrival; now_ += random_.duration(5s, 10s)) {
            const double meters = length * std::chrono::duration<double>(now_ - departure).count() / seconds;
            const bool onFirstLeg = meters < firstLeg;
            const LocationCoordinate2D position =
                onFirstLeg ? between(from, corner, meters / firstLeg) : between(corner, to, (meters - firstLeg) / (length - firstLeg));
            const double course = onFirstLeg ? initialBearingDegrees(from, corner) : initialBearingDegrees(corner, to);
            record(offset(position, random_.gaussian(3), random_.gaussian(3)), std::max(0.0, speed + random_.gaussian(0.3)),
                   std::fmod(course + random_.gaussian(2) + 360, 360));
        }
        now_ = arrival;
    }

    void record(LocationCoordinate2D position, double speed, double course) {
        trace_.fixes.push_back(LocationFix{position, kCityAltitude + random_.gaussian(3), random_.uniform(5, 15),
                                           random_.uniform(8, 20), speed, course, now_});
    }

    Random random_;
    LocationCoordinate2D home_{};
    LocationCoordinate2D work_{};
    std::array<LocationCoordinate2D, 3> others_{};
    std::chrono::sys_days firstLocalDay_{};
    Timestamp begin_{};
    int dayCount_{};
    Timestamp now_{};
    CommuterTrace trace_;
};

}  // namespace

CommuterTrace generateCommuterTrace(const CommuterOptions& options) { return Commuter(options).run(); }

}  // namespace fenk
