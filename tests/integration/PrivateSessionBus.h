#pragma once

#include "support/TemporaryFolder.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <optional>
#include <string>

namespace fenk {

// A dbus-daemon of the test's own, a session bus that lets anyone own any name and has nothing to start on
// demand. Killed and reaped when destroyed.
class PrivateSessionBus {
public:
    static bool installed() { return ::access("/usr/bin/dbus-daemon", X_OK) == 0; }

    PrivateSessionBus() {
        const auto config = folder_.path() / "session.conf";
        std::ofstream(config) << "<busconfig><type>session</type><listen>unix:path=" << (folder_.path() / "bus").string()
                              << "</listen><auth>EXTERNAL</auth><policy context=\"default\"><allow send_destination=\"*\""
                                 " eavesdrop=\"true\"/><allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>";
        int output[2];
        if (::pipe2(output, O_CLOEXEC) != 0) return;
        const std::string configOption = "--config-file=" + config.string();
        const char* arguments[] = {"dbus-daemon", configOption.c_str(), "--print-address", "--nofork", nullptr};
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
        // It warns when it cannot raise its descriptor limit, which a test bus does not need.
        ::posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        if (::posix_spawn(&pid_, "/usr/bin/dbus-daemon", &actions, nullptr, const_cast<char* const*>(arguments),
                          environ) != 0) {
            pid_ = -1;
        }
        ::posix_spawn_file_actions_destroy(&actions);
        ::close(output[1]);
        if (pid_ > 0) address_ = readLine(output[0], std::chrono::seconds{10});
        ::close(output[0]);
    }
    ~PrivateSessionBus() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    // Where clients connect; empty when the daemon did not start.
    const std::string& address() const { return address_; }

private:
    // The daemon prints its address once it listens; empty when no whole line came in time.
    static std::string readLine(int fd, std::chrono::milliseconds patience) {
        std::string line;
        pollfd readable{fd, POLLIN, 0};
        for (char character; ::poll(&readable, 1, static_cast<int>(patience.count())) > 0 &&
                             ::read(fd, &character, 1) == 1;) {
            if (character == '\n') return line;
            line += character;
        }
        return "";
    }

    TemporaryFolder folder_;
    pid_t pid_ = -1;
    std::string address_;
};

}  // namespace fenk
