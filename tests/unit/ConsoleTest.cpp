#include "FenkSDK/runtime/Console.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

using namespace std::chrono_literals;

namespace fenk {
namespace {

TEST(ConsoleTest, ASinkThatPrintsDoesNotDeadlock) {
    std::atomic<int> calls{0};
    Console::setSink([&](std::string_view) {
        ++calls;
        Console::print("printed by the sink itself");  // goes to standard error, not back here
    });
    std::promise<void> printed;
    auto done = printed.get_future();
    std::thread([&printed] {
        Console::print("line");
        printed.set_value();
    }).detach();
    const bool finished = done.wait_for(10s) == std::future_status::ready;
    ASSERT_TRUE(finished) << "Console::print deadlocked inside the sink";
    Console::setSink({});
    EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace fenk
