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

// An order to spoil `count` replies, as POSTed to the platform:
// {"kind": "status" | "garbage" | "error" | "delay" | "drop", "count": N (default 1; 0: until cleared),
//  "status": 500, "delayMs": 250, "path": "/soa.api.user.location.update", "every": N (default 1)}.
// With "path", only replies to requests whose path holds it as whole segments count (a service name, or
// "/auth/user", "/media/icon.png"); of the replies that count, every `every`-th is spoiled.
struct FaultOrder {
    Fault fault{};
    std::size_t count = 1;  // 0: spoils until cleared
    std::optional<std::string> path{};
    std::size_t every = 1;
};
std::optional<FaultOrder> parseFaultOrder(std::string_view json, std::string& error);

// The faults waiting for the next replies. A reply counts for the first armed order that it matches, in
// the order they were armed. Thread-safe.
class FaultInjector {
public:
    void arm(const FaultOrder& order);
    void clear();
    // The fault for the reply being made now to a request for `path`, if any.
    std::optional<Fault> take(std::string_view path);

    // Waits out a delay; returns at once after interrupt(), so that a stopping platform need not wait.
    void wait(std::chrono::milliseconds delay);
    void interrupt();

private:
    std::mutex mutex_;
    std::condition_variable interrupted_;
    bool stopping_ = false;
    struct ArmedOrder {
        FaultOrder order;
        std::size_t matched = 0;  // replies counted so far
    };
    std::deque<ArmedOrder> pending_;
};

}  // namespace fenk
