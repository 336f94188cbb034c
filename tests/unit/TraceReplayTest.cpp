#include "adapters/fake/FakeDispatcher.h"
#include "adapters/fake/MemorySecureStore.h"
#include "adapters/location/TraceReplay.h"
#include "support/LocationRecorder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <utility>
#include <vector>

namespace fenk {
namespace {

using std::chrono::minutes;

class TraceReplayTest : public ::testing::Test {
protected:
    void SetUp() override { session_->setDelivery(LocationDelivery::continuous); }

    // Each fix well away from the one before, so that every one is delivered.
    std::vector<LocationFix> fixesAfter(std::vector<TimestampClock::duration> offsets) {
        std::vector<LocationFix> fixes;
        for (const auto offset : offsets) {
            fixes.push_back({.coordinate = {40, static_cast<double>(fixes.size()) / 10},
                             .timestamp = timestampFromSystemTime(dispatcher_->now()) + offset});
        }
        return fixes;
    }

    std::shared_ptr<FakeDispatcher> dispatcher_ = std::make_shared<FakeDispatcher>();
    std::shared_ptr<EngineLocation> engine_ =
        std::make_shared<EngineLocation>(dispatcher_->mainQueue(), std::make_shared<MemorySecureStore>());
    test::LocationRecorder recorder_{dispatcher_->mainQueue()};
    std::unique_ptr<LocationSession> session_ = engine_->makeSession(recorder_);
};

// Each fix reaches the sessions at its own time, the past ones at once, with only the next one ever waiting.
TEST_F(TraceReplayTest, FeedsEachFixAtItsTimeAndReportsProgress) {
    TraceReplay replay(engine_, dispatcher_, fixesAfter({-minutes(1), {}, minutes(10), minutes(10), minutes(30)}));
    replay.start();
    replay.start();
    const std::pair<minutes, std::size_t> steps[] = {{minutes(0), 2}, {minutes(9), 2}, {minutes(1), 4}, {minutes(20), 5}};
    for (const auto& [advance, ingested] : steps) {
        dispatcher_->advance(advance);
        EXPECT_EQ(replay.ingested(), ingested);
        EXPECT_EQ(recorder_.fixes.size(), ingested);
        EXPECT_EQ(dispatcher_->pendingTasks(), replay.finished() ? 0u : 1u);
    }
    EXPECT_EQ(replay.total(), 5u);
    EXPECT_TRUE(replay.finished());
    EXPECT_EQ(recorder_.offMainQueue, 0);
}

TEST_F(TraceReplayTest, StopsWhenDestroyedAndWaitsSafelyForAFixDatedFarAhead) {
    auto fixes = fixesAfter({minutes(5), {}});
    fixes.back().timestamp = distantFuture();
    auto replay = std::make_unique<TraceReplay>(engine_, dispatcher_, fixes);
    replay->start();
    dispatcher_->advance(std::chrono::hours(24 * 3));
    EXPECT_EQ(replay->ingested(), 1u);
    EXPECT_FALSE(replay->finished());
    replay.reset();
    dispatcher_->advance(std::chrono::hours(24 * 3));
    EXPECT_EQ(dispatcher_->pendingTasks(), 0u);
    EXPECT_EQ(recorder_.fixes.size(), 1u);
}

}  // namespace
}  // namespace fenk
