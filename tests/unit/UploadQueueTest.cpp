#include "FenkSDK/location/UploadQueue.h"

#include "adapters/fake/FakeDispatcher.h"
#include "adapters/fake/MemoryPreferences.h"
#include "adapters/fake/MemoryRecordQueue.h"
#include "support/ConsoleCapture.h"
#include "support/TraceFixes.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace fenk {
namespace {

StoredLocation positionAt(double minutes) { return *StoredLocation::fromFix(test::fixAt(0, minutes)); }

std::vector<Timestamp> arrivals(const std::vector<UploadQueue::Queued>& queued) {
    std::vector<Timestamp> times;
    for (const auto& entry : queued) times.push_back(*entry.record.arrivalDate);
    return times;
}

struct UploadQueueTest : testing::Test {
    FakeDispatcher clock;
    MemoryPreferences preferences;
    std::shared_ptr<MemoryRecordQueue> store = std::make_shared<MemoryRecordQueue>();
    UploadQueue queue{store, preferences, clock, {.maxCount = 3, .maxAge = std::chrono::hours(24)}};
    ConsoleCapture console;
};

TEST_F(UploadQueueTest, TheOldestGoFirstWhenTheQueueIsFullOrTooOld) {
    for (int minute = 0; minute < 4; ++minute) queue.push({positionAt(minute)});
    EXPECT_EQ(arrivals(queue.oldest(10)), (std::vector{*positionAt(1).arrivalDate, *positionAt(2).arrivalDate,
                                                       *positionAt(3).arrivalDate}));
    clock.advance(20h);
    queue.push({positionAt(4)});
    clock.advance(5h);
    EXPECT_EQ(arrivals(queue.oldest(10)), std::vector{*positionAt(4).arrivalDate});
    const auto lines = console.lines();
    ASSERT_EQ(lines.size(), 4U) << "one line per position let go";
    EXPECT_NE(lines[0].find("the queue is full"), std::string::npos);
    EXPECT_NE(lines[1].find("the queue is full"), std::string::npos);
    EXPECT_NE(lines[3].find("waited too long"), std::string::npos);
}

TEST_F(UploadQueueTest, PositionsTheStoreRefusedAreKeptInOrderUntilItTakesThem) {
    store->failNextAppend();
    queue.push({positionAt(0)});
    EXPECT_EQ(store->size(), 0U);
    EXPECT_EQ(queue.size(), 1U);
    queue.push({positionAt(1)});
    EXPECT_EQ(arrivals(queue.oldest(10)), (std::vector{*positionAt(0).arrivalDate, *positionAt(1).arrivalDate}));
}

TEST_F(UploadQueueTest, AnUnreadableEntryIsReportedAndSkipped) {
    store->append({toData("not a position")}, clock.now());
    queue.push({positionAt(0)});
    EXPECT_EQ(arrivals(queue.oldest(1)), std::vector{*positionAt(0).arrivalDate});
    EXPECT_EQ(console.lines().size(), 1U);
}

}  // namespace
}  // namespace fenk
