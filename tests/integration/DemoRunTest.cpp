// The demo's run: a generated commuter's days through the whole SDK against the platform in-process. Its report must say
// what the platform's own records say, lose nothing, and come out the same from the same trace.
#include "FenkSDK/json/RecordCodec.h"
#include "support/TemporaryFolder.h"
#include "tools/fenk-demo/DemoPlatform.h"
#include "tools/fenk-demo/DemoRun.h"
#include "tools/fenk-demo/DemoSeed.h"
#include "tools/fenk-platform/PlatformStore.h"
#include "tools/fenk-platform/RequestLog.h"
#include "tools/replay-host/ReplayTrace.h"

#include <gtest/gtest.h>

#include <numeric>
#include <set>

namespace fenk {
namespace {

struct DaysRun {
    std::unique_ptr<PlatformServer> platform;
    DemoOutcome outcome;
};

// A commuter's Monday and Tuesday: enough to meet every kind of trouble the run plans, at a fraction of a week.
std::vector<LocationFix> twoWorkdays() {
    auto fixes = generatedCommuter(1, 3);
    const Timestamp end = fixes.front().timestamp + std::chrono::days(2);
    std::erase_if(fixes, [end](const LocationFix& fix) { return fix.timestamp >= end; });
    return fixes;
}

DaysRun runDays(const std::filesystem::path& folder) {
    DaysRun run;
    DemoInput input{.deviceFolder = folder / "device", .fixes = twoWorkdays(), .description = "two days", .places = {}};
    const DemoSeed seed = makeDemoSeed(input.fixes);
    input.places = seed.places;
    std::string error;
    run.platform = startDemoPlatform(folder, seed.seed, error);
    EXPECT_TRUE(run.platform) << error;
    if (!run.platform) return run;
    auto outcome = runDemo(input, *run.platform, nullptr, error);
    EXPECT_TRUE(outcome) << error;
    if (outcome) run.outcome = std::move(*outcome);
    return run;
}

std::string withoutWallTimes(DemoFacts facts) {
    facts.figures.replaySeconds = 0;
    facts.figures.wallSeconds = 0;
    return json::encode(facts).value_or("");
}

TEST(DemoRunTest, TheReportSaysWhatThePlatformHoldsAndLosesNothing) {
    const TemporaryFolder folder;
    const DaysRun run = runDays(folder.path());
    ASSERT_TRUE(run.platform);
    const DemoFacts& facts = run.outcome.facts;
    const RunFigures& figures = facts.figures;

    const auto held = run.platform->locationsOf(run.outcome.resourceId);
    EXPECT_EQ(facts.platform.positions, static_cast<std::int64_t>(held.size()));
    EXPECT_EQ(figures.positionsLost, 0);
    EXPECT_EQ(figures.positionsQueued, figures.uploads);
    EXPECT_EQ(figures.uploads + figures.duplicates, facts.platform.positions);
    const auto requests = run.platform->requestLog().requests();
    EXPECT_EQ(std::accumulate(facts.platform.requests.begin(), facts.platform.requests.end(), std::int64_t{0},
                              [](std::int64_t sum, const auto& entry) { return sum + entry.second; }),
              static_cast<std::int64_t>(requests.size()));
    ASSERT_FALSE(held.empty());
    EXPECT_EQ(facts.platform.sampleDescriptors.front(), held.front().extra.value_or(""));

    // The days add up to the run, and the trouble it met shows in them.
    ASSERT_EQ(facts.days.size(), 2U);
    std::int64_t uploads = 0;
    std::int64_t fixes = 0;
    std::set<std::string> kinds;
    for (const DaySummary& day : facts.days) {
        uploads += day.uploads;
        fixes += day.fixes;
        for (const DaySpan& span : day.spans) kinds.insert(span.kind);
    }
    EXPECT_EQ(uploads, figures.uploads);
    EXPECT_EQ(fixes, figures.fixes);
    EXPECT_EQ(kinds, (std::set<std::string>{"faults", "moving", "offline", "stay"}));

    // Notices came from the seeded places along the way.
    ASSERT_FALSE(facts.notices.empty());
    std::set<std::string> seeded;
    for (const NoticePlace& place : facts.noticePlaces) seeded.insert(place.id);
    for (const RaisedNotice& notice : facts.notices) EXPECT_TRUE(seeded.contains(notice.placeId)) << notice.title;
}

TEST(DemoRunTest, TheSameTraceGivesTheSameReport) {
    const TemporaryFolder first;
    const TemporaryFolder second;
    const DaysRun one = runDays(first.path());
    const DaysRun other = runDays(second.path());
    EXPECT_EQ(withoutWallTimes(one.outcome.facts), withoutWallTimes(other.outcome.facts));
}

TEST(UploadLedgerTest, ComparesWhatWentThroughWithWhatIsHeld) {
    const UploadKey a{"1", "2", "time:1"};
    const UploadKey b{"1", "2", "time:2"};
    struct Row {
        std::map<UploadKey, std::int64_t> delivered;
        std::map<UploadKey, std::int64_t> stored;
        std::int64_t duplicates;
        std::int64_t missing;
    };
    for (const Row& row : std::vector<Row>{
             {{{a, 1}, {b, 1}}, {{a, 1}, {b, 1}}, 0, 0},
             {{{a, 2}}, {{a, 2}}, 0, 0},  // a stay's opening and closing may read alike: both held
             {{{a, 1}}, {{a, 2}}, 1, 0},  // the reply was lost after the platform stored it
             {{{a, 1}, {b, 1}}, {{a, 1}}, 0, 1},
         }) {
        const LedgerComparison comparison = compareWithPlatform(row.delivered, row.stored);
        EXPECT_EQ(comparison.duplicates, row.duplicates);
        EXPECT_EQ(comparison.missing, row.missing);
    }
}

}  // namespace
}  // namespace fenk
