#pragma once

#include "FenkSDK/runtime/Console.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

namespace fenk {

// Collects the SDK's console lines for the lifetime of the object, instead of printing them.
class ConsoleCapture {
public:
    ConsoleCapture() {
        Console::setSink([this](std::string_view line) {
            std::lock_guard lock(mutex_);
            lines_.emplace_back(line);
            added_.notify_all();
        });
    }
    ~ConsoleCapture() { Console::setSink({}); }
    ConsoleCapture(const ConsoleCapture&) = delete;
    ConsoleCapture& operator=(const ConsoleCapture&) = delete;

    std::vector<std::string> lines() const {
        std::lock_guard lock(mutex_);
        return lines_;
    }
    // False when fewer than `count` lines came within `patience`.
    bool waitForLines(std::size_t count, std::chrono::milliseconds patience) const {
        std::unique_lock lock(mutex_);
        return added_.wait_for(lock, patience, [&] { return lines_.size() >= count; });
    }
    void clear() {
        std::lock_guard lock(mutex_);
        lines_.clear();
    }

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable added_;
    std::vector<std::string> lines_;
};

}  // namespace fenk
