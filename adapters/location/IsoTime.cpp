#include "adapters/location/IsoTime.h"

#include "adapters/location/TextNumbers.h"

#include <chrono>
#include <cstdint>
#include <cstdio>

namespace fenk {
namespace {

using std::chrono::days;
using std::chrono::hours;
using std::chrono::microseconds;
using std::chrono::minutes;
using std::chrono::seconds;

// Reads `count` digits at the front of `text` and moves past them.
std::optional<int> takeDigits(std::string_view& text, std::size_t count) {
    if (text.size() < count) return std::nullopt;
    const auto value = parseDigits(text.substr(0, count));
    text.remove_prefix(count);
    if (!value) return std::nullopt;
    return static_cast<int>(*value);
}

bool takeChar(std::string_view& text, char expected) {
    if (text.empty() || text.front() != expected) return false;
    text.remove_prefix(1);
    return true;
}

// Microseconds from the fractional digits after the point; digits past the sixth are dropped.
std::optional<microseconds> takeFraction(std::string_view& text) {
    if (!takeChar(text, '.')) return microseconds{0};
    std::int64_t micros = 0;
    std::size_t digits = 0;
    while (!text.empty() && text.front() >= '0' && text.front() <= '9') {
        if (digits < 6) micros = micros * 10 + (text.front() - '0');
        ++digits;
        text.remove_prefix(1);
    }
    if (digits == 0) return std::nullopt;
    for (std::size_t i = digits; i < 6; ++i) micros *= 10;
    return microseconds{micros};
}

// The zone's offset east of UTC.
std::optional<minutes> takeZone(std::string_view& text) {
    if (text.empty()) return minutes{0};
    if (takeChar(text, 'Z')) return minutes{0};
    const char sign = text.front();
    if (sign != '+' && sign != '-') return std::nullopt;
    text.remove_prefix(1);
    const auto zoneHours = takeDigits(text, 2);
    takeChar(text, ':');
    const auto zoneMinutes = takeDigits(text, 2);
    if (!zoneHours || !zoneMinutes || *zoneHours > 23 || *zoneMinutes > 59) return std::nullopt;
    const minutes offset = hours{*zoneHours} + minutes{*zoneMinutes};
    return sign == '+' ? offset : -offset;
}

}  // namespace

std::optional<Timestamp> parseIsoTime(std::string_view text) {
    const auto year = takeDigits(text, 4);
    if (!year || !takeChar(text, '-')) return std::nullopt;
    const auto month = takeDigits(text, 2);
    if (!month || !takeChar(text, '-')) return std::nullopt;
    const auto day = takeDigits(text, 2);
    if (!day || !takeChar(text, 'T')) return std::nullopt;
    const auto hour = takeDigits(text, 2);
    if (!hour || !takeChar(text, ':')) return std::nullopt;
    const auto minute = takeDigits(text, 2);
    if (!minute || !takeChar(text, ':')) return std::nullopt;
    const auto second = takeDigits(text, 2);
    if (!second) return std::nullopt;
    const auto fraction = takeFraction(text);
    const auto zone = fraction ? takeZone(text) : std::nullopt;
    if (!zone || !text.empty()) return std::nullopt;

    const std::chrono::year_month_day date{std::chrono::year{*year}, std::chrono::month{static_cast<unsigned>(*month)},
                                           std::chrono::day{static_cast<unsigned>(*day)}};
    if (!date.ok() || *hour > 23 || *minute > 59 || *second > 59) return std::nullopt;
    const auto sinceEpoch = std::chrono::sys_days{date} - detail::kTimestampEpoch;
    return Timestamp{sinceEpoch + hours{*hour} + minutes{*minute} + seconds{*second} + *fraction - *zone};
}

std::optional<std::string> formatIsoTime(Timestamp timestamp) {
    // Checked before converting: the far sentinels would overflow a count from 1970.
    constexpr Timestamp kFirst{std::chrono::sys_days{std::chrono::year{0} / 1 / 1} - detail::kTimestampEpoch};
    constexpr Timestamp kEnd{std::chrono::sys_days{std::chrono::year{10000} / 1 / 1} - detail::kTimestampEpoch};
    if (timestamp < kFirst || timestamp >= kEnd) return std::nullopt;
    const std::chrono::sys_time<microseconds> time{detail::kTimestampEpoch + timestamp.time_since_epoch()};
    const auto dayStart = std::chrono::floor<days>(time);
    const std::chrono::year_month_day date{dayStart};
    const std::chrono::hh_mm_ss<microseconds> clock{time - dayStart};
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%06lldZ", static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()), static_cast<int>(clock.hours().count()),
                  static_cast<int>(clock.minutes().count()), static_cast<int>(clock.seconds().count()),
                  static_cast<long long>(clock.subseconds().count()));
    return std::string(text);
}

}  // namespace fenk
