#include "adapters/location/CommuterTrace.h"
#include "adapters/location/GpxWriter.h"

#include "FenkSDK/places/GreatCircle.h"
#include "support/TraceFixes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace fenk {
namespace {

using namespace std::chrono;
using namespace std::chrono_literals;
using test::utc;

// Monday 4 March 2024, mid-morning, one hour east of UTC: the trace starts at the local midnight before.
CommuterOptions options(std::uint64_t seed, int weeks = 1) {
    return CommuterOptions{weeks, seed, utc(2024y / 3 / 4, 9h), 60min};
}

TEST(CommuterTrace, SameSeedSameTraceOtherSeedOtherTrace) {
    const CommuterTrace first = generateCommuterTrace(options(7));
    const CommuterTrace again = generateCommuterTrace(options(7));
    const CommuterTrace other = generateCommuterTrace(options(8));
    EXPECT_EQ(writeGpx(first.fixes), writeGpx(again.fixes));
    EXPECT_EQ(first.stays, again.stays);
    EXPECT_NE(writeGpx(first.fixes), writeGpx(other.fixes));
}

TEST(CommuterTrace, WeekdaysAtWorkWeekendsOutAndEveryFixWhereTheTruthSays) {
    const int weeks = 3;
    const CommuterTrace trace = generateCommuterTrace(options(42, weeks));
    const Timestamp begin = utc(2024y / 3 / 3, 23h);
    ASSERT_FALSE(trace.stays.empty());
    EXPECT_EQ(trace.stays.front().arrival, begin);
    EXPECT_EQ(trace.stays.back().departure, begin + weeks * days{7});
    // A month stays within a few hundred thousand fixes.
    EXPECT_LT(trace.fixes.size(), static_cast<std::size_t>(weeks * 7 * 2'500));
    EXPECT_TRUE(std::is_sorted(trace.fixes.begin(), trace.fixes.end(),
                               [](const LocationFix& a, const LocationFix& b) { return a.timestamp < b.timestamp; }));

    std::map<int, int> workStaysByDay;
    auto fix = trace.fixes.begin();
    for (const Stay& stay : trace.stays) {
        SCOPED_TRACE(secondsSinceReferenceDate(stay.arrival));
        EXPECT_GT(stay.departure - stay.arrival, 10min);
        const int day = static_cast<int>(floor<days>(stay.arrival - begin).count());
        if (stay.place == StayPlace::work) {
            ++workStaysByDay[day];
            EXPECT_GE(stay.arrival - (begin + days{day}), 8h + 30min);
            EXPECT_LE(stay.departure - (begin + days{day}), 18h + 15min);
        }
        // Fixes before the stay are on the way; those during it stay within jitter of its centre.
        while (fix != trace.fixes.end() && fix->timestamp < stay.arrival) ++fix;
        for (; fix != trace.fixes.end() && fix->timestamp < stay.departure; ++fix) {
            ASSERT_LT(distanceMeters(fix->coordinate, stay.centre), 30);
        }
    }
    for (int day = 0; day < weeks * 7; ++day) {
        const bool weekend = day % 7 >= 5;
        EXPECT_EQ(workStaysByDay[day], weekend ? 0 : 1) << "day " << day;
    }
    EXPECT_GE(std::count_if(trace.stays.begin(), trace.stays.end(), [](const Stay& s) { return s.place == StayPlace::other; }),
              2 * weeks);
}

}  // namespace
}  // namespace fenk
