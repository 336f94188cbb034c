#pragma once

#include "FenkSDK/ports/Clock.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace fenk {

using Task = std::function<void()>;

enum class QualityOfService { userInteractive, userInitiated, defaultQoS, utility, background, unspecified };

// A queue of tasks. Serial queues run one task at a time in submission order; the global queue may run
// several at once.
class DispatchQueue {
public:
    virtual ~DispatchQueue() = default;
    virtual std::string_view label() const = 0;
    virtual void async(Task task) = 0;
    virtual void asyncAfter(Duration delay, Task task) = 0;
    // Runs the task on the queue and returns when it has run. Called from a task of the same queue, the
    // task runs at once instead of waiting for itself forever.
    virtual void sync(Task task) = 0;
    // True while the calling code runs as a task of this queue.
    virtual bool isCurrent() const = 0;
};

// The source of queues and of time. One dispatcher serves a whole environment.
class Dispatcher : public Clock {
public:
    virtual std::shared_ptr<DispatchQueue> makeSerialQueue(std::string label, QualityOfService qos) = 0;
    // The concurrent queue of default quality of service.
    virtual std::shared_ptr<DispatchQueue> globalQueue() = 0;
    // The queue of the host's main thread.
    virtual std::shared_ptr<DispatchQueue> mainQueue() = 0;
};

}  // namespace fenk
