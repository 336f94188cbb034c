#pragma once

#include "FenkSDK/ports/Dispatcher.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

namespace fenk {

// Runs every queue on the calling thread, in due-time then submission order, and is its own clock: tests
// call runUntilIdle() to run what is due and advance() to move time, so no test ever waits for real.
class FakeDispatcher final : public Dispatcher {
public:
    // A fixed, arbitrary start so that time-dependent results are reproducible.
    static constexpr SystemTime kStart = SystemTime(std::chrono::seconds(1'800'000'000));

    explicit FakeDispatcher(SystemTime start = kStart);
    ~FakeDispatcher() override;

    SystemTime now() const override;
    std::shared_ptr<DispatchQueue> makeSerialQueue(std::string label, QualityOfService qos) override;
    std::shared_ptr<DispatchQueue> globalQueue() override;
    std::shared_ptr<DispatchQueue> mainQueue() override;

    // Counts as work in progress until the answered handle is released: for work on other threads that comes
    // back to a queue, such as a real HTTP exchange. Running and advancing wait for it, so time stands still
    // while it is out.
    std::shared_ptr<void> holdBusy();
    // Runs every task due now, including those the tasks themselves submit, and waits for held work to come
    // back; answers how many ran.
    std::size_t runUntilIdle();
    // Moves the clock forward, running each task when its due time is reached.
    void advance(Duration duration);
    std::size_t pendingTasks() const;

    class Queue;
    struct State;

private:
    std::shared_ptr<State> state_;
    std::shared_ptr<DispatchQueue> global_;
    std::shared_ptr<DispatchQueue> main_;
};

}  // namespace fenk
