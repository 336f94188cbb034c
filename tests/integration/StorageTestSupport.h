#pragma once

#include "FenkSDK/runtime/Console.h"

#include <filesystem>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace fenk {

// The permission bits of a file or folder, or -1 when it does not exist.
inline int permissionsOf(const std::filesystem::path& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 ? static_cast<int>(status.st_mode & 07777) : -1;
}

// Clears the umask for one test, so modes the code sets are not hidden by a restrictive default.
class ClearedUmask {
public:
    ClearedUmask() : previous_(::umask(0)) {}
    ~ClearedUmask() { ::umask(previous_); }
    ClearedUmask(const ClearedUmask&) = delete;
    ClearedUmask& operator=(const ClearedUmask&) = delete;

private:
    mode_t previous_;
};

// Collects console lines for the lifetime of the object.
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

private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};

}  // namespace fenk
