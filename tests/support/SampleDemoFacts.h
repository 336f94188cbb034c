#pragma once

#include "FenkSDK/places/FenkGeohash.h"
#include "tools/fenk-demo/DemoFacts.h"

namespace fenk {

// A small run's facts: three days, a short commute of a few dozen points, a place learned at each end, a cell,
// a fence of each kind and a notice.
inline DemoFacts sampleDemoFacts() {
    DemoFacts facts;
    facts.trace = "a generated commuter, 3 days, seed 1";
    facts.from = "2026-01-05T00:00:00Z";
    facts.to = "2026-01-08T00:00:00Z";
    facts.legal = "The owner's terms were accepted on the first start.";
    const MapPoint home{52.3700, 4.8900};
    const MapPoint work{52.3900, 4.9300};
    for (int step = 0; step <= 40; ++step) {
        const double along = step / 40.0;
        facts.track.push_back({home.latitude + (work.latitude - home.latitude) * along,
                               home.longitude + (work.longitude - home.longitude) * along * along});
    }
    facts.cells = {FenkGeohash::encode(home.latitude, home.longitude, 7)};
    facts.fences = {{"cell", home.latitude, home.longitude, 150, false},
                    {"place", work.latitude, work.longitude, 100, true}};
    facts.learnedPlaces = {{facts.cells.front(), "home", home.latitude, home.longitude, 3, "2026-01-05T18:00:00Z",
                            "2026-01-07T18:00:00Z"}};
    facts.noticePlaces = {{"bakery", "Corner bakery", 52.3800, 4.9000, 80, "Fresh bread"}};
    facts.notices = {{"2026-01-06T08:15:00Z", "bakery", "Fresh bread"}};
    for (const char* date : {"2026-01-05", "2026-01-06", "2026-01-07"}) {
        facts.days.push_back({date,
                              {{"stay", 0, 480}, {"moving", 480, 540}, {"stay", 540, 1020}, {"moving", 1020, 1080},
                               {"stay", 1080, 1440}, {"offline", 600, 700}},
                              1400, 90, 12, 0, 3, 1, 2});
    }
    facts.platform = {270, 268, 2, {{"/positions", 31}}, {"cell=u173zq7"}};
    facts.figures = {4200, 270, 270, 4, 2, 0, 1, 2.5, 3.1};
    return facts;
}

}  // namespace fenk
