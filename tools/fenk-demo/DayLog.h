#pragma once

#include "FenkSDK/ports/Clock.h"
#include "tools/fenk-demo/DemoFacts.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fenk {

// The run's days as the timeline shows them, midnight to midnight UTC, from the first fix's day to the last's.
// Whatever falls outside counts for the nearest day.
class DayLog {
public:
    DayLog(SystemTime first, SystemTime last);

    std::size_t count() const { return days_.size(); }
    std::size_t dayOf(SystemTime time) const;
    SystemTime midnightAfter(std::size_t day) const;

    // A stretch of `kind`, cut at each midnight.
    void addSpan(std::string_view kind, SystemTime from, SystemTime to);
    void countFix(SystemTime at) { ++days_[dayOf(at)].fixes; }
    void countStay(SystemTime arrival) { ++days_[dayOf(arrival)].stays; }
    void countNotice(SystemTime at) { ++days_[dayOf(at)].notices; }
    void noteQueue(SystemTime at, std::int64_t depth);
    // The figures as the day ends: the uploads acknowledged since the run began, the positions still waiting,
    // and the places learned so far.
    void closeDay(std::size_t day, std::int64_t uploadsSoFar, std::int64_t waiting, std::int64_t places);

    const std::vector<DaySummary>& days() const { return days_; }

private:
    SystemTime firstMidnight_;
    std::vector<DaySummary> days_;
    std::int64_t uploadsBefore_ = 0;
};

// "2026-01-05T08:14:00Z".
std::string isoSeconds(SystemTime time);

}  // namespace fenk
