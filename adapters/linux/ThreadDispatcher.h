#pragma once

#include "FenkSDK/ports/Dispatcher.h"

#include <memory>

namespace fenk {

// Real threads: each serial queue has a thread of its own, the global queue a small pool, delayed tasks a
// timer thread, and the main queue runs on whichever thread the host lends it: run() until stop(), or
// pollFd() in the host's own loop and drain() when it becomes readable.
class ThreadDispatcher final : public Dispatcher {
public:
    explicit ThreadDispatcher(unsigned globalThreads = 4);
    ~ThreadDispatcher() override;
    ThreadDispatcher(const ThreadDispatcher&) = delete;
    ThreadDispatcher& operator=(const ThreadDispatcher&) = delete;

    SystemTime now() const override;
    std::shared_ptr<DispatchQueue> makeSerialQueue(std::string label, QualityOfService qos) override;
    std::shared_ptr<DispatchQueue> globalQueue() override;
    std::shared_ptr<DispatchQueue> mainQueue() override;

    // Runs main-queue tasks on the calling thread until stop().
    void run();
    void stop();
    // Readable while main-queue tasks wait; for hosts that poll in a loop of their own.
    int pollFd() const;
    // Runs the main-queue tasks waiting now; answers how many ran.
    std::size_t drain();

    // Counts as work in progress until the answered handle is released: for work that runs outside the
    // queues and comes back to one, such as an HTTP exchange.
    std::shared_ptr<void> holdBusy();
    // Runs main-queue tasks on the calling thread until no task is queued, running or timed on any queue
    // of this dispatcher and nothing is held busy. False when the timeout passed first.
    bool waitUntilIdle(Duration timeout);

    class Activity;
    class Timer;
    class MainQueue;

private:
    std::shared_ptr<Activity> activity_;
    std::shared_ptr<Timer> timer_;
    std::shared_ptr<MainQueue> main_;
    std::shared_ptr<DispatchQueue> global_;
};

}  // namespace fenk
