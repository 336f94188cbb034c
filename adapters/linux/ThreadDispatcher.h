#pragma once

#include "FenkSDK/ports/Dispatcher.h"

#include <memory>
#include <thread>

namespace fenk {

// Who runs the main queue's tasks.
enum class MainQueueDriver {
    sdk,   // a thread of the SDK's own, for hosts without an event loop
    host,  // the host's thread: run() until stop(), or pollFd() in the host's own loop and drain()
};

// Real threads: each serial queue has a thread of its own, the global queue a small pool, delayed tasks a
// timer thread, and the main queue runs as `driver` says. Main-queue tasks never run on two threads at once.
class ThreadDispatcher final : public Dispatcher {
public:
    explicit ThreadDispatcher(MainQueueDriver driver = MainQueueDriver::sdk, unsigned globalThreads = 4);
    ~ThreadDispatcher() override;
    ThreadDispatcher(const ThreadDispatcher&) = delete;
    ThreadDispatcher& operator=(const ThreadDispatcher&) = delete;

    SystemTime now() const override;
    std::shared_ptr<DispatchQueue> makeSerialQueue(std::string label, QualityOfService qos) override;
    std::shared_ptr<DispatchQueue> globalQueue() override;
    std::shared_ptr<DispatchQueue> mainQueue() override;

    // For a host-driven main queue (refused, returning at once, when the SDK drives it): run() runs
    // main-queue tasks on the calling thread until stop(); drain() runs the tasks waiting now and answers
    // how many ran. Concurrent callers take turns; called from a main-queue task they do nothing, since
    // running later tasks inside an earlier one would break their order.
    void run();
    void stop();
    std::size_t drain();
    // Readable while main-queue tasks wait; for hosts that poll in a loop of their own.
    int pollFd() const;

    // Counts as work in progress until the answered handle is released: for work that runs outside the
    // queues and comes back to one, such as an HTTP exchange.
    std::shared_ptr<void> holdBusy();
    // Waits until no task is queued, running or timed on any queue of this dispatcher and nothing is held
    // busy, running main-queue tasks on the calling thread meanwhile when the host drives that queue.
    // False when the timeout passed first.
    bool waitUntilIdle(Duration timeout);

    class Activity;
    class Timer;
    class MainQueue;

private:
    const MainQueueDriver driver_;
    std::shared_ptr<Activity> activity_;
    std::shared_ptr<Timer> timer_;
    std::shared_ptr<MainQueue> main_;
    std::shared_ptr<DispatchQueue> global_;
    std::thread mainThread_;  // runs the main queue when the SDK drives it
};

}  // namespace fenk
