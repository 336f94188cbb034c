#include "adapters/fake/FakeDispatcher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::chrono_literals;

namespace fenk {
namespace {

TEST(FakeDispatcher, ChainAcrossThreeQueuesAndATimerRunsInOrderWithoutWaiting) {
    FakeDispatcher dispatcher;
    auto first = dispatcher.makeSerialQueue("first", QualityOfService::utility);
    auto second = dispatcher.makeSerialQueue("second", QualityOfService::defaultQoS);
    auto main = dispatcher.mainQueue();
    std::vector<std::string> steps;
    const auto start = dispatcher.now();

    first->async([&] {
        steps.push_back("first");
        second->async([&] {
            steps.push_back("second");
            main->asyncAfter(15s, [&] { steps.push_back("main after 15s"); });
            dispatcher.globalQueue()->async([&] { steps.push_back("global"); });
        });
    });
    first->async([&] { steps.push_back("first again"); });

    dispatcher.runUntilIdle();
    EXPECT_EQ(steps, (std::vector<std::string>{"first", "first again", "second", "global"}));
    EXPECT_EQ(dispatcher.now(), start);

    dispatcher.advance(14s);
    EXPECT_EQ(steps.size(), 4u);
    dispatcher.advance(1s);
    EXPECT_EQ(steps.back(), "main after 15s");
    EXPECT_EQ(dispatcher.now(), start + 15s);
    EXPECT_EQ(dispatcher.pendingTasks(), 0u);
}

TEST(FakeDispatcher, TimersFireInDueOrderAndSeeTheirOwnDueTime) {
    FakeDispatcher dispatcher;
    auto queue = dispatcher.makeSerialQueue("q", QualityOfService::utility);
    const auto start = dispatcher.now();
    std::vector<std::pair<int, Duration>> fired;
    for (const int seconds : {3, 1, 2, 1}) {
        queue->asyncAfter(std::chrono::seconds(seconds),
                          [&, seconds] { fired.emplace_back(seconds, dispatcher.now() - start); });
    }
    dispatcher.advance(10s);
    const std::vector<std::pair<int, Duration>> expected{{1, 1s}, {1, 1s}, {2, 2s}, {3, 3s}};
    EXPECT_EQ(fired, expected);
}

TEST(FakeDispatcher, SyncRunsWhatTheQueueAlreadyHeldFirstAndKnowsItsQueue) {
    FakeDispatcher dispatcher;
    auto queue = dispatcher.makeSerialQueue("q", QualityOfService::utility);
    std::vector<int> order;
    queue->async([&] { order.push_back(1); });
    EXPECT_FALSE(queue->isCurrent());
    queue->sync([&] {
        EXPECT_TRUE(queue->isCurrent());
        queue->sync([&] { order.push_back(2); });  // nested sync on the same queue must not wait on itself
        order.push_back(3);
    });
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST(FakeDispatcher, PendingTaskKeepsItsQueueAliveUntilItRuns) {
    FakeDispatcher dispatcher;
    bool ran = false;
    {
        auto queue = dispatcher.makeSerialQueue("short-lived", QualityOfService::utility);
        queue->async([&] { ran = true; });
    }
    dispatcher.runUntilIdle();
    EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace fenk
