#include "adapters/location/GpxWriter.h"
#include "adapters/location/TraceReader.h"

#include "support/TraceFixes.h"

#include <gtest/gtest.h>

#include <vector>

namespace fenk {
namespace {

using namespace std::chrono;
using namespace std::chrono_literals;
using namespace test;

TEST(GpxWriter, WhatItWritesReadsBackTheSame) {
    // Vertical accuracy is not carried by GPX; everything else is.
    const std::vector<LocationFix> fixes{
        {{40.41683219, -3.70379141}, 655.25, 7.5, kNaN, 1.25, 359.5, utc(2024y / 3 / 1, 8h + 1us)},
        {{-33.8688197, 151.2092955}, kNaN, kNaN, kNaN, 0, 0, utc(2024y / 3 / 1, 8h + 5s + 999999us)},
        {{89.9999999, 179.9999999}, -12, 15, kNaN, 30.125, 45, utc(2099y / 12 / 31, 23h + 59min + 59s)},
    };
    const auto document = writeGpx(fixes);
    ASSERT_TRUE(document);
    const TraceResult read = readTrace(*document);
    ASSERT_TRUE(std::holds_alternative<std::vector<LocationFix>>(read)) << std::get<TraceError>(read).describe();
    expectSameFixes(std::get<std::vector<LocationFix>>(read), fixes);
}

TEST(GpxWriter, RefusesWhatGpxCannotHold) {
    const LocationFix good{{1, 2}, 0, 5, 5, 0, 0, utc(2024y / 3 / 1)};
    LocationFix farFuture = good;
    farFuture.timestamp = Timestamp::max();
    LocationFix nowhere = good;
    nowhere.coordinate = kLocationCoordinate2DInvalid;
    for (const LocationFix& bad : {farFuture, nowhere}) {
        EXPECT_FALSE(writeGpx(std::vector<LocationFix>{good, bad}));
    }
}

}  // namespace
}  // namespace fenk
