#pragma once

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

namespace fenk {

// Moves the calling thread into a fresh, empty network namespace for the life of the object. Sockets,
// threads and `ip` commands started from this thread meanwhile belong to it.
class NetworkNamespace {
public:
    NetworkNamespace() : original_(::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC)) {
        if (original_ < 0 || ::unshare(CLONE_NEWNET) != 0) {
            failure_ = std::string("network namespaces are not permitted here: ") + std::strerror(errno);
        }
    }
    ~NetworkNamespace() {
        if (!failure_) ::setns(original_, CLONE_NEWNET);
        if (original_ >= 0) ::close(original_);
    }
    NetworkNamespace(const NetworkNamespace&) = delete;
    NetworkNamespace& operator=(const NetworkNamespace&) = delete;

    const std::optional<std::string>& failure() const { return failure_; }

    // Runs a shell command inside the namespace; answers whether it succeeded.
    static bool run(const std::string& command) { return std::system(command.c_str()) == 0; }
    static bool ip(const std::string& arguments) { return run("ip " + arguments); }

private:
    int original_;
    std::optional<std::string> failure_;
};

}  // namespace fenk
