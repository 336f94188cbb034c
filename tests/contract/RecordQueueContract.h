#pragma once

#include "FenkSDK/ports/RecordQueue.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace fenk::contract {

// Behaviour every RecordQueue implementation shares. Instantiate with a factory type that is default
// constructible and has `std::unique_ptr<RecordQueue> make()`.
template <class Factory>
class RecordQueueContract : public ::testing::Test {
protected:
    Factory factory_;
    std::unique_ptr<RecordQueue> queue_ = factory_.make();
};

TYPED_TEST_SUITE_P(RecordQueueContract);

namespace queue {

using std::chrono::nanoseconds;

// Ids are handed out by the queue: compare everything else, and check the ids increase.
inline void expectEntries(const std::vector<RecordQueue::Entry>& actual, const std::vector<RecordQueue::Entry>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t index = 0; index < actual.size(); ++index) {
        EXPECT_EQ(actual[index].record, expected[index].record) << index;
        EXPECT_EQ(actual[index].enqueuedAt, expected[index].enqueuedAt) << index;
        if (index > 0) {
            EXPECT_GT(actual[index].id, actual[index - 1].id) << index;
        }
    }
}

}  // namespace queue

TYPED_TEST_P(RecordQueueContract, BatchesComeBackOldestFirstWithTheirTimeToTheMicrosecond) {
    using namespace queue;
    auto& queue = *this->queue_;
    const SystemTime first(nanoseconds(1'765'000'000'123'456'789));
    const SystemTime second(nanoseconds(1'765'003'600'000'000'999));
    const SystemTime firstKept(nanoseconds(1'765'000'000'123'456'000));
    const SystemTime secondKept(nanoseconds(1'765'003'600'000'000'000));
    const Data large(2'000'000, 0xab);
    ASSERT_TRUE(queue.append({Data{1, 2, 3}, Data{}, large}, first));
    ASSERT_TRUE(queue.append({}, second));
    ASSERT_TRUE(queue.append({Data{0, 255}}, second));
    const std::vector<RecordQueue::Entry> all = {
        {0, firstKept, {1, 2, 3}}, {0, firstKept, {}}, {0, firstKept, large}, {0, secondKept, {0, 255}}};

    EXPECT_EQ(queue.size(), all.size());
    for (const std::size_t limit : {0, 1, 3, 4, 100}) {
        SCOPED_TRACE("limit " + std::to_string(limit));
        const auto count = std::min(limit, all.size());
        expectEntries(queue.oldest(limit), {all.begin(), all.begin() + static_cast<std::ptrdiff_t>(count)});
    }
}

// Removing answers true whether the entry was there or not, keeps the others in order, and the newest id is
// never handed out again once removed.
TYPED_TEST_P(RecordQueueContract, RemovalKeepsTheRestInOrderAndIdsAreNeverReused) {
    auto& queue = *this->queue_;
    ASSERT_TRUE(queue.append({{0}, {1}, {2}, {3}}, SystemTime{}));
    const auto appended = queue.oldest(4);
    ASSERT_EQ(appended.size(), 4u);
    struct Step {
        std::int64_t removed;
        std::vector<std::size_t> remaining;
    };
    const std::vector<Step> steps = {{appended[1].id, {0, 2, 3}},
                                     {appended[3].id + 1000, {0, 2, 3}},
                                     {appended[3].id, {0, 2}},
                                     {appended[3].id, {0, 2}}};
    for (const auto& step : steps) {
        SCOPED_TRACE("removing " + std::to_string(step.removed));
        ASSERT_TRUE(queue.remove(step.removed));
        std::vector<RecordQueue::Entry> expected;
        for (const auto index : step.remaining) expected.push_back(appended[index]);
        EXPECT_EQ(queue.oldest(10), expected);
        EXPECT_EQ(queue.size(), expected.size());
    }
    ASSERT_TRUE(queue.append({{4}}, SystemTime{}));
    const auto after = queue.oldest(10);
    ASSERT_EQ(after.size(), 3u);
    EXPECT_GT(after.back().id, appended[3].id);
    EXPECT_EQ(after.back().record, Data{4});
}

// Appends from several threads all arrive, each thread's in its order, each batch in one piece.
TYPED_TEST_P(RecordQueueContract, ConcurrentAppendsKeepEveryBatchWhole) {
    auto& queue = *this->queue_;
    constexpr std::uint8_t kThreads = 4;
    constexpr std::uint8_t kBatchesEach = 25;
    std::vector<std::thread> appenders;
    for (std::uint8_t thread = 0; thread < kThreads; ++thread) {
        appenders.emplace_back([&queue, thread] {
            for (std::uint8_t batch = 0; batch < kBatchesEach; ++batch) {
                EXPECT_TRUE(queue.append({{thread, batch, 0}, {thread, batch, 1}}, SystemTime{}));
            }
        });
    }
    for (auto& appender : appenders) appender.join();
    const auto entries = queue.oldest(1000);
    ASSERT_EQ(entries.size(), std::size_t{kThreads} * kBatchesEach * 2);
    std::vector<std::uint8_t> nextBatch(kThreads, 0);
    for (std::size_t index = 0; index < entries.size(); index += 2) {
        const auto& record = entries[index].record;
        ASSERT_EQ(record.size(), 3u);
        const auto thread = record[0];
        ASSERT_LT(thread, kThreads);
        EXPECT_EQ(record, (Data{thread, nextBatch[thread], 0})) << index;
        EXPECT_EQ(entries[index + 1].record, (Data{thread, nextBatch[thread], 1})) << index;
        ++nextBatch[thread];
    }
}

REGISTER_TYPED_TEST_SUITE_P(RecordQueueContract, BatchesComeBackOldestFirstWithTheirTimeToTheMicrosecond,
                            RemovalKeepsTheRestInOrderAndIdsAreNeverReused, ConcurrentAppendsKeepEveryBatchWhole);

}  // namespace fenk::contract
