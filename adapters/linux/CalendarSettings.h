#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fenk {

// Where a Linux system names the user's calendar. Each source is the raw text, or none when it is missing.
struct CalendarSources {
    std::optional<std::string> tzVariable{};       // TZ
    std::optional<std::string> etcTimezone{};      // contents of /etc/timezone
    std::optional<std::string> localtimeTarget{};  // where /etc/localtime links to
    std::optional<std::string> lcAll{};
    std::optional<std::string> lcTime{};
    std::optional<std::string> lang{};

    // The sources of this machine and process, read now.
    static CalendarSources read();
};

// The first source that names a zone: TZ (with or without its leading ':', or as a path into a zoneinfo
// folder), /etc/timezone, then the zoneinfo file /etc/localtime links to; "UTC" when none does.
std::string timeZoneIdentifier(const CalendarSources& sources);

// The first of LC_ALL, LC_TIME and LANG that is set and not empty, without its codeset or modifier
// ("es_ES.UTF-8" -> "es_ES"); "en_US_POSIX" when none is, or when it is the C or POSIX locale.
std::string localeIdentifier(const CalendarSources& sources);

}  // namespace fenk
