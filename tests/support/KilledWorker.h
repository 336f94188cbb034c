#pragma once

#include <algorithm>
#include <chrono>
#include <climits>
#include <csignal>
#include <functional>
#include <optional>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fenk {

// In a worker process: sends one report. Reports fit in a pipe's atomic write, so a killed worker leaves
// whole reports only.
template <class Report>
bool sendReport(int channel, const Report& report) {
    static_assert(sizeof(Report) <= PIPE_BUF);
    return ::write(channel, &report, sizeof report) == static_cast<ssize_t>(sizeof report);
}

struct WorkerEnd {
    int reports = 0;
    // Killed as planned; otherwise it ended on its own, or hung (see `silent`).
    bool killed = false;
    // No report came for a whole deadline: the worker was killed so that the test fails instead of hanging.
    bool silent = false;
    int status = 0;  // as waitpid() tells it

    bool exitedWith(int code) const { return WIFEXITED(status) && WEXITSTATUS(status) == code; }
};

// Runs `work(channel)` in a forked process that exits with what it answers, and hands each report it sends to
// `received`. `killDelay` after report `killAfter` (never, when none) the worker is killed with SIGKILL,
// reports that come meanwhile or still wait in the pipe are read too: they tell what had happened.
template <class Report>
WorkerEnd runKilledWorker(std::optional<int> killAfter, std::chrono::milliseconds killDelay,
                          const std::function<int(int channel)>& work,
                          const std::function<void(const Report&)>& received,
                          std::chrono::milliseconds deadline = std::chrono::seconds(60)) {
    using Steady = std::chrono::steady_clock;
    WorkerEnd end;
    int channel[2];
    if (::pipe(channel) != 0) return end;
    const pid_t worker = ::fork();
    if (worker == 0) {
        ::close(channel[0]);
        // An exception must not carry the worker back into the test runner, which would run the rest twice.
        int code = 2;
        try {
            code = work(channel[1]);
        } catch (...) {
        }
        ::_exit(code);
    }
    ::close(channel[1]);
    constexpr auto kNoKillPlanned = Steady::time_point::max();
    auto killAt = kNoKillPlanned;
    for (Report report{}; worker > 0;) {
        const auto wait = killAt == kNoKillPlanned ? deadline : std::chrono::ceil<std::chrono::milliseconds>(killAt - Steady::now());
        pollfd readable{.fd = channel[0], .events = POLLIN, .revents = 0};
        if (::poll(&readable, 1, static_cast<int>(std::max<std::chrono::milliseconds>(wait, {}).count())) == 0 &&
            !end.killed) {
            end.silent = killAt == kNoKillPlanned;
            end.killed = !end.silent;
            killAt = kNoKillPlanned;
            ::kill(worker, SIGKILL);
            continue;
        }
        if (::read(channel[0], &report, sizeof report) != static_cast<ssize_t>(sizeof report)) break;
        received(report);
        if (++end.reports == killAfter) killAt = Steady::now() + killDelay;
    }
    ::close(channel[0]);
    if (worker > 0) ::waitpid(worker, &end.status, 0);
    return end;
}

}  // namespace fenk
