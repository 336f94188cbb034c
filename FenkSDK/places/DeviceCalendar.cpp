#include "FenkSDK/places/DeviceCalendar.h"

#include "FenkSDK/ports/Device.h"

#include <unicode/calendar.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cmath>
#include <string>

namespace fenk {
namespace {

// ICU counts milliseconds since 1970; a Timestamp microseconds since 2001.
constexpr double kMillisecondsFrom1970To2001 = 978'307'200'000.0;

UDate toUDate(Timestamp instant) {
    return std::chrono::duration<double, std::milli>(instant.time_since_epoch()).count() + kMillisecondsFrom1970To2001;
}

std::optional<Timestamp> fromUDate(UDate date) {
    return timestampFromSecondsSinceReferenceDate((date - kMillisecondsFrom1970To2001) / 1000.0);
}

std::unique_ptr<icu::Calendar> makeCalendar(const std::string& timeZone, const std::string& locale) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Calendar> calendar(icu::Calendar::createInstance(
        icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(timeZone)), icu::Locale(locale.c_str()), status));
    if (U_FAILURE(status)) return nullptr;
    return calendar;
}

}  // namespace

DeviceCalendar::DeviceCalendar(const Device& device)
    : calendar_(makeCalendar(device.timeZoneIdentifier(), device.localeIdentifier())) {}

DeviceCalendar::~DeviceCalendar() = default;

bool DeviceCalendar::isWeekend(Timestamp instant) const {
    if (!calendar_) return false;
    UErrorCode status = U_ZERO_ERROR;
    const bool weekend = calendar_->isWeekend(toUDate(instant), status);
    return U_SUCCESS(status) && weekend;
}

std::optional<Timestamp> DeviceCalendar::nextDay(Timestamp instant) const {
    if (!calendar_) return std::nullopt;
    const std::unique_ptr<icu::Calendar> day(calendar_->clone());
    if (!day) return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    day->setTime(toUDate(instant), status);
    day->add(UCAL_DATE, 1, status);
    const UDate next = day->getTime(status);
    if (U_FAILURE(status)) return std::nullopt;
    return fromUDate(next);
}

std::optional<std::string> DeviceCalendar::dayText(Timestamp instant) const {
    if (!calendar_) return std::nullopt;
    const std::unique_ptr<icu::Calendar> day(calendar_->clone());
    if (!day) return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    day->setTime(toUDate(instant), status);
    const int year = day->get(UCAL_EXTENDED_YEAR, status);
    const int month = day->get(UCAL_MONTH, status) + 1;
    const int date = day->get(UCAL_DATE, status);
    if (U_FAILURE(status) || year < 0 || year > 9999) return std::nullopt;
    std::array<char, 40> text{};
    std::snprintf(text.data(), text.size(), "%04d%02d%02d", year, month, date);
    return std::string(text.data());
}

}  // namespace fenk
