#include "adapters/gtk/GtkMainQueue.h"
#include "gtk/GtkTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace fenk {
namespace {

// Main-queue tasks posted from any thread run inside GLib's loop, on its thread, while the source lives.
TEST(GtkMainQueueTest, MainQueueTasksRunInGlibsLoopWhileItLives) {
    ThreadDispatcher dispatcher(MainQueueDriver::host);
    std::atomic<int> ran = 0;
    std::thread::id ranOn;
    const auto postFromAnotherThread = [&] {
        std::thread([&] { dispatcher.mainQueue()->async([&] { ranOn = std::this_thread::get_id(); ++ran; }); }).join();
    };
    {
        const GtkMainQueue mainQueue(dispatcher);
        postFromAnotherThread();
        gtktest::waitUntil([&] { return ran == 1; });
        EXPECT_EQ(ranOn, std::this_thread::get_id());
    }
    postFromAnotherThread();
    gtktest::pump();
    EXPECT_EQ(ran, 1) << "the loop no longer runs the queue once the source is gone";
    dispatcher.drain();
    EXPECT_EQ(ran, 2);
}

}  // namespace
}  // namespace fenk
