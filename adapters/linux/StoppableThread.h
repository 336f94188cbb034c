#pragma once

#include <functional>
#include <memory>
#include <thread>

namespace fenk {

// What woke a thread that waits on a descriptor.
enum class Wake { ready, timeout, stop };

// A thread of an adapter's own that waits on descriptors, and the descriptor that wakes it when it must stop.
// Destroying it asks the body to stop and joins it, so an owner declares it last: it goes first.
class StoppableThread {
public:
    using Body = std::function<void(const StoppableThread&)>;

    // Null, with errno set, when the thread or its wake-up descriptor cannot be made.
    static std::unique_ptr<StoppableThread> start(Body body);

    explicit StoppableThread(int stopFd) : stopFd_(stopFd) {}
    ~StoppableThread();
    StoppableThread(const StoppableThread&) = delete;
    StoppableThread& operator=(const StoppableThread&) = delete;

    // For the body: until `fd` is readable (a negative `fd` waits for nothing but the time), the time passes
    // (-1: no limit), or the owner asks it to stop. A wait that fails for good counts as a stop, since
    // trying again would spin.
    Wake wait(int fd, int timeoutMilliseconds) const;

private:
    const int stopFd_;
    std::thread thread_;
};

}  // namespace fenk
