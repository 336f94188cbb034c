#pragma once

#include "FenkSDK/runtime/Console.h"

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
        });
    }
    ~ConsoleCapture() { Console::setSink({}); }
    ConsoleCapture(const ConsoleCapture&) = delete;
    ConsoleCapture& operator=(const ConsoleCapture&) = delete;

    std::vector<std::string> lines() const {
        std::lock_guard lock(mutex_);
        return lines_;
    }
    void clear() {
        std::lock_guard lock(mutex_);
        lines_.clear();
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};

}  // namespace fenk
