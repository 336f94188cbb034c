#pragma once

#include "FenkSDK/location/Timestamp.h"

#include <unicode/uversion.h>

#include <memory>
#include <optional>
#include <string>

U_NAMESPACE_BEGIN
class Calendar;
U_NAMESPACE_END

namespace fenk {

class Device;

// The device's calendar: its time zone places an instant on a day, its locale says which days are the weekend.
class DeviceCalendar {
public:
    explicit DeviceCalendar(const Device& device);
    ~DeviceCalendar();
    DeviceCalendar(const DeviceCalendar&) = delete;
    DeviceCalendar& operator=(const DeviceCalendar&) = delete;

    // False too when the calendar cannot tell (no calendar for the device's settings, an instant out of range).
    bool isWeekend(Timestamp instant) const;
    // The same wall-clock time one calendar day later; none when the calendar cannot add the day.
    std::optional<Timestamp> nextDay(Timestamp instant) const;
    // The day the instant falls on, as "yyyyMMdd"; none when the calendar cannot tell.
    std::optional<std::string> dayText(Timestamp instant) const;

private:
    std::unique_ptr<icu::Calendar> calendar_;
};

}  // namespace fenk
