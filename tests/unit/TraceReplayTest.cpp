#include "adapters/fake/FakeDispatcher.h"
#include "adapters/fake/MemorySecureStore.h"
#include "adapters/location/TraceReplay.h"
#include "support/LocationRecorder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

namespace fenk {
namespace {

using std::chrono::minutes;

class TraceReplayTest : public ::testing::Test {
protected:
    LocationFix fixAfter(TimestampClock::duration offset) {
        LocationFix fix{};
        fix.coordinate = {40, static_cast<double>(recorded_++) / 10};  // each one well away from the last
        fix.timestamp = timestampFromSystemTime(dispatcher_->now()) + offset;
        return fix;
    }

    std::shared_ptr<FakeDispatcher> dispatcher_ = std::make_shared<FakeDispatcher>();
    std::shared_ptr<EngineLocation> engine_ =
        std::make_shared<EngineLocation>(dispatcher_->mainQueue(), std::make_shared<MemorySecureStore>());
    test::LocationRecorder recorder_{dispatcher_->mainQueue()};
    std::unique_ptr<LocationSession> session_ = engine_->makeSession(recorder_);
    int recorded_ = 0;
};

// Each fix reaches the sessions at its own time, the past ones at once, with only the next one ever waiting.
TEST_F(TraceReplayTest, FeedsEachFixAtItsTimeAndReportsProgress) {
    session_->setDelivery(LocationDelivery::continuous);
    TraceReplay replay(engine_, dispatcher_, {fixAfter(-minutes(1)), fixAfter({}), fixAfter(minutes(10)),
                                              fixAfter(minutes(10)), fixAfter(minutes(30))});
    replay.start();
    replay.start();
    const struct {
        minutes advance;
        std::size_t ingested;
    } steps[] = {{minutes(0), 2}, {minutes(9), 2}, {minutes(1), 4}, {minutes(20), 5}};
    for (const auto& step : steps) {
        dispatcher_->advance(step.advance);
        EXPECT_EQ(replay.ingested(), step.ingested);
        EXPECT_EQ(recorder_.fixes.size(), step.ingested);
        EXPECT_EQ(dispatcher_->pendingTasks(), replay.finished() ? 0u : 1u);
    }
    EXPECT_EQ(replay.total(), 5u);
    EXPECT_TRUE(replay.finished());
    EXPECT_EQ(recorder_.offMainQueue, 0);
}

TEST_F(TraceReplayTest, StopsWhenDestroyedAndWaitsSafelyForAFixDatedFarAhead) {
    session_->setDelivery(LocationDelivery::continuous);
    LocationFix farAhead = fixAfter({});
    farAhead.timestamp = distantFuture();
    auto replay = std::make_unique<TraceReplay>(engine_, dispatcher_, std::vector{fixAfter(minutes(5)), farAhead});
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
