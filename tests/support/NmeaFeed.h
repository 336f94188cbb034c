#pragma once

#include "FenkSDK/ports/Clock.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

namespace fenk {

// One NMEA sentence, with its checksum.
inline std::string sentence(const std::string& body) {
    unsigned checksum = 0;
    for (const char c : body) checksum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", checksum);
    return "$" + body + tail;
}

// The time of day and the date fields of the sentences sent at `time`.
inline std::pair<std::string, std::string> nmeaTime(SystemTime time) {
    const auto day = std::chrono::floor<std::chrono::days>(time);
    const std::chrono::year_month_day date{day};
    const std::chrono::hh_mm_ss clock{std::chrono::floor<std::chrono::seconds>(time - day)};
    char text[2][16];
    std::snprintf(text[0], sizeof text[0], "%02d%02d%02d.00", static_cast<int>(clock.hours().count()),
                  static_cast<int>(clock.minutes().count()), static_cast<int>(clock.seconds().count()));
    std::snprintf(text[1], sizeof text[1], "%02u%02u%02d", static_cast<unsigned>(date.day()),
                  static_cast<unsigned>(date.month()), static_cast<int>(date.year()) % 100);
    return {text[0], text[1]};
}

// "4807.0380,N" or "01131.0000,E": degrees and decimal minutes, then the hemisphere.
inline std::string nmeaAngle(double degrees, int degreeDigits, char positive, char negative) {
    const double magnitude = std::fabs(degrees);
    const int whole = static_cast<int>(magnitude);
    char text[32];
    std::snprintf(text, sizeof text, "%0*d%07.4f,%c", degreeDigits, whole, (magnitude - whole) * 60,
                  degrees < 0 ? negative : positive);
    return text;
}

// An RMC and a GGA sentence of a 3D fix at `time`: 545.4 m above sea level, heading 84.4° at 22.4 knots.
inline std::string nmeaFix(SystemTime time, double latitude, double longitude) {
    const auto [clock, date] = nmeaTime(time);
    const std::string position = nmeaAngle(latitude, 2, 'N', 'S') + "," + nmeaAngle(longitude, 3, 'E', 'W');
    return sentence("GPRMC," + clock + ",A," + position + ",022.4,084.4," + date + ",003.1,W") +
           sentence("GPGGA," + clock + "," + position + ",1,08,0.9,545.4,M,46.9,M,,");
}

}  // namespace fenk
