#include "tools/fenk-demo/DayLog.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace fenk {
namespace {

using Days = std::chrono::days;
using std::chrono::floor;
using std::chrono::minutes;

std::string isoDate(SystemTime time) {
    const std::chrono::year_month_day date{floor<Days>(time)};
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return text;
}

}  // namespace

std::string isoSeconds(SystemTime time) {
    const auto seconds = floor<std::chrono::seconds>(time);
    const std::chrono::hh_mm_ss clock{seconds - floor<Days>(seconds)};
    char text[16];
    std::snprintf(text, sizeof text, "T%02d:%02d:%02dZ", static_cast<int>(clock.hours().count()),
                  static_cast<int>(clock.minutes().count()), static_cast<int>(clock.seconds().count()));
    return isoDate(time) + text;
}

DayLog::DayLog(SystemTime first, SystemTime last) : firstMidnight_(floor<Days>(first)) {
    const auto dayCount = floor<Days>(std::max(first, last)) - floor<Days>(first) + Days(1);
    for (int day = 0; day < dayCount.count(); ++day) {
        days_.push_back(DaySummary{.date = isoDate(firstMidnight_ + Days(day))});
    }
}

std::size_t DayLog::dayOf(SystemTime time) const {
    if (time < firstMidnight_) return 0;
    const auto day = static_cast<std::size_t>(floor<Days>(time - firstMidnight_).count());
    return std::min(day, days_.size() - 1);
}

SystemTime DayLog::midnightAfter(std::size_t day) const { return firstMidnight_ + Days(day + 1); }

void DayLog::addSpan(std::string_view kind, SystemTime from, SystemTime to) {
    const SystemTime end = midnightAfter(days_.size() - 1);
    from = std::max(from, firstMidnight_);
    to = std::min(to, end);
    while (from < to) {
        const std::size_t day = dayOf(from);
        const SystemTime dayStart = firstMidnight_ + Days(day);
        const SystemTime cut = std::min(to, midnightAfter(day));
        auto& spans = days_[day].spans;
        const std::int64_t fromMinute = floor<minutes>(from - dayStart).count();
        const std::int64_t toMinute = std::chrono::ceil<minutes>(cut - dayStart).count();
        // Touching stretches of the same kind read as one.
        if (!spans.empty() && spans.back().kind == kind && spans.back().toMinute >= fromMinute) {
            spans.back().toMinute = std::max(spans.back().toMinute, toMinute);
        } else if (toMinute > fromMinute) {
            spans.push_back(DaySpan{.kind = std::string(kind), .fromMinute = fromMinute, .toMinute = toMinute});
        }
        from = cut;
    }
}

void DayLog::noteQueue(SystemTime at, std::int64_t depth) {
    auto& day = days_[dayOf(at)];
    day.maxQueue = std::max(day.maxQueue, depth);
}

void DayLog::closeDay(std::size_t day, std::int64_t uploadsSoFar, std::int64_t waiting, std::int64_t places) {
    auto& summary = days_[std::min(day, days_.size() - 1)];
    summary.uploads += uploadsSoFar - uploadsBefore_;
    uploadsBefore_ = uploadsSoFar;
    summary.queueAtEnd = waiting;
    summary.placesLearned = places;
    summary.maxQueue = std::max(summary.maxQueue, waiting);
}

}  // namespace fenk
