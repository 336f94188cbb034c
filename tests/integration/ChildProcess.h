#pragma once

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <grp.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fenk {

// Root opens any file whatever its mode, so a test that needs a denied permission runs its child as nobody.
constexpr uid_t kUnprivilegedId = 65534;

// Hands a file or folder to the user a child runs as, so its owner permission bits are the ones that bind it.
inline bool giveToChild(const std::filesystem::path& path) {
    return ::geteuid() != 0 || ::chown(path.c_str(), kUnprivilegedId, kUnprivilegedId) == 0;
}

// In a child: when running as root, becomes nobody; otherwise stays the current user.
inline bool dropRootPrivileges() {
    return ::geteuid() != 0 ||
           (::setgroups(0, nullptr) == 0 && ::setgid(kUnprivilegedId) == 0 && ::setuid(kUnprivilegedId) == 0);
}

// In a child: lowers the descriptor limit so that exactly `spare` more descriptors can be opened.
inline bool limitSpareDescriptors(int spare) {
    // The limit is the lowest descriptor number a process may not use: stop at the free one after `spare`.
    int limit = 0;
    for (int free = 0;; ++limit) {
        if (::fcntl(limit, F_GETFD) == -1 && errno == EBADF && free++ == spare) {
            break;
        }
    }
    const rlimit lowered{static_cast<rlim_t>(limit), static_cast<rlim_t>(limit)};
    return ::setrlimit(RLIMIT_NOFILE, &lowered) == 0;
}

// Runs `body` in a forked child, which may change its user or limits freely, and answers the child's report:
// empty when all went as the body expected, otherwise what went wrong.
inline std::string runInChild(const std::function<std::string()>& body) {
    int channel[2];
    if (::pipe(channel) != 0) {
        return "cannot create a pipe";
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        // An exception must not carry the child back into the test runner, which would run the rest twice.
        std::string report;
        try {
            report = body();
        } catch (...) {
            report = "the child threw";
        }
        std::size_t written = 0;
        while (written < report.size()) {
            const auto count = ::write(channel[1], report.data() + written, report.size() - written);
            if (count < 0 && errno == EINTR) {
                continue;
            }
            if (count <= 0) {
                ::_exit(1);
            }
            written += static_cast<std::size_t>(count);
        }
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string report = child < 0 ? "cannot start a child" : "";
    char buffer[256];
    for (ssize_t count; child > 0 && (count = ::read(channel[0], buffer, sizeof buffer)) != 0;) {
        if (count > 0) {
            report.append(buffer, static_cast<std::size_t>(count));
        } else if (errno != EINTR) {
            break;
        }
    }
    ::close(channel[0]);
    int status = 0;
    if (child > 0 && (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)) {
        report += "; the child did not finish cleanly";
    }
    return report;
}

}  // namespace fenk
