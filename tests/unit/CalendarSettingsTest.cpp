#include "adapters/linux/CalendarSettings.h"

#include <gtest/gtest.h>

namespace fenk {
namespace {

TEST(CalendarSettingsTest, TimeZoneComesFromTheFirstSourceThatNamesOne) {
    const struct {
        CalendarSources sources;
        const char* zone;
    } cases[] = {
        {{.tzVariable = "Europe/Madrid", .etcTimezone = "Asia/Tokyo"}, "Europe/Madrid"},
        {{.tzVariable = ":America/New_York"}, "America/New_York"},
        {{.tzVariable = ":/usr/share/zoneinfo/Asia/Jerusalem"}, "Asia/Jerusalem"},
        {{.tzVariable = "", .etcTimezone = "Europe/Lisbon\n", .localtimeTarget = "../usr/share/zoneinfo/UTC"},
         "Europe/Lisbon"},
        {{.tzVariable = "/etc/custom-zone", .localtimeTarget = "/usr/share/zoneinfo/Asia/Riyadh"}, "Asia/Riyadh"},
        {{}, "UTC"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(timeZoneIdentifier(c.sources), c.zone);
    }
}

TEST(CalendarSettingsTest, LocaleFollowsTheVariablePrecedenceWithoutCodeset) {
    const struct {
        CalendarSources sources;
        const char* locale;
    } cases[] = {
        {{.lcAll = "es_ES.UTF-8", .lcTime = "he_IL.UTF-8", .lang = "en_GB.UTF-8"}, "es_ES"},
        {{.lcAll = "", .lcTime = "he_IL.UTF-8", .lang = "en_GB.UTF-8"}, "he_IL"},
        {{.lang = "de_DE@euro"}, "de_DE"},
        {{.lang = "ar_SA"}, "ar_SA"},
        {{.lcAll = "C.UTF-8", .lang = "en_GB.UTF-8"}, "en_US_POSIX"},
        {{.lang = "POSIX"}, "en_US_POSIX"},
        {{}, "en_US_POSIX"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(localeIdentifier(c.sources), c.locale);
    }
}

}  // namespace
}  // namespace fenk
