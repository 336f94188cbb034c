#include "adapters/linux/ThreadDispatcher.h"

#include <gtest/gtest.h>

#include <poll.h>

#include <atomic>
#include <future>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace fenk {
namespace {

TEST(ThreadDispatcher, SerialQueueRunsInOrderOnOneThreadAndSyncFromInsideDoesNotDeadlock) {
    ThreadDispatcher dispatcher;
    auto queue = dispatcher.makeSerialQueue("serial", QualityOfService::utility);
    std::vector<int> order;
    std::set<std::thread::id> threads;
    for (int i = 0; i < 200; ++i) {
        queue->async([&, i] {
            order.push_back(i);
            threads.insert(std::this_thread::get_id());
        });
    }
    queue->sync([&] {
        EXPECT_TRUE(queue->isCurrent());
        queue->sync([&] { order.push_back(-1); });
    });
    ASSERT_EQ(order.size(), 201u);
    for (int i = 0; i < 200; ++i) EXPECT_EQ(order[i], i);
    EXPECT_EQ(threads.size(), 1u);
    EXPECT_FALSE(queue->isCurrent());
}

TEST(ThreadDispatcher, DelayedTasksFireInDueOrder) {
    ThreadDispatcher dispatcher;
    auto queue = dispatcher.makeSerialQueue("timers", QualityOfService::utility);
    std::mutex mutex;
    std::vector<int> fired;
    std::promise<void> last;
    for (const int ms : {40, 10, 25}) {
        queue->asyncAfter(std::chrono::milliseconds(ms), [&, ms] {
            std::lock_guard lock(mutex);
            fired.push_back(ms);
            if (fired.size() == 3) last.set_value();
        });
    }
    ASSERT_EQ(last.get_future().wait_for(5s), std::future_status::ready);
    EXPECT_EQ(fired, (std::vector<int>{10, 25, 40}));
}

TEST(ThreadDispatcher, HostDrivenMainQueueRunsOnTheHostThreadThroughPollFdAndDrainOrRun) {
    ThreadDispatcher dispatcher(MainQueueDriver::host);
    auto main = dispatcher.mainQueue();
    std::atomic<int> ran{0};
    std::thread poster([&] { main->async([&] { ran += main->isCurrent() ? 1 : 100; }); });
    poster.join();
    pollfd fd{dispatcher.pollFd(), POLLIN, 0};
    ASSERT_EQ(::poll(&fd, 1, 5000), 1);
    EXPECT_EQ(dispatcher.drain(), 1u);
    EXPECT_EQ(ran, 1);

    dispatcher.globalQueue()->async([&] { main->async([&] { dispatcher.stop(); }); });
    dispatcher.run();  // returns once the posted stop ran on this thread
}

TEST(ThreadDispatcher, SdkDrivenMainQueueRunsByItselfAndRefusesHostDrivers) {
    ThreadDispatcher dispatcher;
    auto main = dispatcher.mainQueue();
    std::promise<std::thread::id> ranOn;
    main->async([&] { ranOn.set_value(std::this_thread::get_id()); });
    auto ran = ranOn.get_future();
    ASSERT_EQ(ran.wait_for(5s), std::future_status::ready) << "nothing ran the main queue";
    EXPECT_NE(ran.get(), std::this_thread::get_id());

    EXPECT_EQ(dispatcher.drain(), 0u);
    dispatcher.stop();
    dispatcher.run();  // refused: returns at once instead of waiting for a stop that never comes
    std::promise<void> stillRunning;
    main->async([&] { stillRunning.set_value(); });
    EXPECT_EQ(stillRunning.get_future().wait_for(5s), std::future_status::ready);
}

TEST(ThreadDispatcher, MainQueueTasksNeverRunOnTwoThreadsAtOnceAndKeepTheirOrder) {
    ThreadDispatcher dispatcher(MainQueueDriver::host);
    auto main = dispatcher.mainQueue();
    constexpr int kTasks = 2000;
    std::atomic<int> inside{0};
    std::atomic<bool> overlapped{false};
    std::atomic<bool> nestedDrainRan{false};
    std::vector<int> order;  // touched by main-queue tasks only
    for (int i = 0; i < kTasks; ++i) {
        main->async([&, i] {
            if (inside.fetch_add(1) != 0) overlapped = true;
            order.push_back(i);
            if (i == 0 && dispatcher.drain() != 0) nestedDrainRan = true;
            inside.fetch_sub(1);
        });
    }
    std::atomic<bool> allRan{false};
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    {
        std::jthread runner([&] { dispatcher.run(); });
        const auto drainUntilAllRan = [&] {
            while (!allRan && std::chrono::steady_clock::now() < deadline) dispatcher.drain();
        };
        std::jthread drainerA(drainUntilAllRan);
        std::jthread drainerB(drainUntilAllRan);
        main->async([&] {
            allRan = true;
            dispatcher.stop();
        });
    }
    EXPECT_FALSE(overlapped);
    EXPECT_FALSE(nestedDrainRan);
    ASSERT_EQ(order.size(), static_cast<std::size_t>(kTasks));
    for (int i = 0; i < kTasks; ++i) ASSERT_EQ(order[i], i);
}

TEST(ThreadDispatcher, QueueReleasedByItsOwnTaskEndsCleanly) {
    ThreadDispatcher dispatcher;
    std::promise<void> done;
    {
        auto queue = dispatcher.makeSerialQueue("self-releasing", QualityOfService::utility);
        auto* raw = queue.get();
        raw->async([queue = std::move(queue), &done]() mutable {
            queue.reset();
            done.set_value();
        });
    }
    EXPECT_EQ(done.get_future().wait_for(5s), std::future_status::ready);
}

TEST(ThreadDispatcher, WaitUntilIdleRunsTheMainQueueUntilNothingIsQueuedTimedOrHeld) {
    ThreadDispatcher dispatcher(MainQueueDriver::host);
    auto queue = dispatcher.makeSerialQueue("work", QualityOfService::utility);
    auto exchange = dispatcher.holdBusy();  // as a reply still on the wire
    EXPECT_FALSE(dispatcher.waitUntilIdle(20ms));

    std::atomic<bool> ranOnMain{false};
    queue->asyncAfter(30ms, [&, main = dispatcher.mainQueue()] { main->async([&] { ranOnMain = true; }); });
    exchange.reset();
    EXPECT_TRUE(dispatcher.waitUntilIdle(5s));
    EXPECT_TRUE(ranOnMain);
}

}  // namespace
}  // namespace fenk
