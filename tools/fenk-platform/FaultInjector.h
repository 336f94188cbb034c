#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace fenk {

// How one reply misbehaves.
struct Fault {
    enum class Kind {
        status,   // the given status code and an empty body
        garbage,  // status 200 and a body that is not JSON
        error,    // status 200 and a well-formed envelope whose response is "ERROR"
        delay,    // the normal reply, after the given delay
        drop,     // the status line and headers, then the connection closes before the body
    };

    Kind kind = Kind::status;
    int status = 500;
    std::chrono::milliseconds delay{0};
};

// An order to spoil the next `count` replies, as POSTed to the platform:
// {"kind": "status" | "garbage" | "error" | "delay" | "drop", "count": N (default 1), "status": 500,
//  "delayMs": 250}.
struct FaultOrder {
    Fault fault{};
    std::size_t count = 1;
};
std::optional<FaultOrder> parseFaultOrder(std::string_view json, std::string& error);

// The faults waiting for the next replies, taken one per reply in the order they were armed. Thread-safe.
class FaultInjector {
public:
    void arm(const FaultOrder& order);
    void clear();
    // The fault for the reply being made now, if any.
    std::optional<Fault> take();

    // Waits out a delay; returns at once after interrupt(), so that a stopping platform need not wait.
    void wait(std::chrono::milliseconds delay);
    void interrupt();

private:
    std::mutex mutex_;
    std::condition_variable interrupted_;
    bool stopping_ = false;
    std::deque<FaultOrder> pending_;
};

}  // namespace fenk
