#pragma once

#include "support/LoopbackListener.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

namespace fenk {

// A gpsd daemon serving clients on 127.0.0.1:`port` and reading NMEA sentences from a feed the test writes.
// Killed and reaped when destroyed.
class GpsdDaemon {
public:
    // Where gpsd is installed, also when the sbin folders are not on the PATH; absent when it is not.
    static std::optional<std::string> program() {
        const char* path = std::getenv("PATH");
        std::istringstream folders(std::string(path ? path : "") + ":/usr/sbin:/sbin:/usr/local/sbin");
        for (std::string folder; std::getline(folders, folder, ':');) {
            const std::string candidate = folder + "/gpsd";
            if (!folder.empty() && ::access(candidate.c_str(), X_OK) == 0) return candidate;
        }
        return std::nullopt;
    }

    GpsdDaemon(const std::string& program, int port) {
        const std::string clientPort = std::to_string(port);
        const std::string source = "tcp://127.0.0.1:" + std::to_string(feed_.port());
        // -N stays in the foreground, to be reaped; -n reads the feed before any client asks; -b never writes
        // to it. Run as root, gpsd drops its privileges after opening the feed, which a TCP feed survives.
        const char* arguments[] = {program.c_str(), "-N", "-n", "-b", "-S", clientPort.c_str(), source.c_str(),
                                   nullptr};
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        ::posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
        // Sockets of the test, the receiver's among them, must not stay open in the daemon.
        ::posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
        auto* const argv = const_cast<char* const*>(arguments);
        if (::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, environ) != 0) pid_ = -1;
        ::posix_spawn_file_actions_destroy(&actions);
        // gpsd opens its source once it listens for clients.
        ready_ = pid_ > 0 && feed_.accept(std::chrono::seconds{10});
    }
    ~GpsdDaemon() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    GpsdDaemon(const GpsdDaemon&) = delete;
    GpsdDaemon& operator=(const GpsdDaemon&) = delete;

    // Started, listening and reading the feed.
    bool ready() const { return ready_; }
    bool feed(std::string_view sentences) { return feed_.send(sentences); }

private:
    LoopbackListener feed_;
    pid_t pid_ = -1;
    bool ready_ = false;
};

}  // namespace fenk
