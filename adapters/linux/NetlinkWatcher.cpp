#include "adapters/linux/NetlinkWatcher.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <system_error>

namespace fenk {
namespace {

// Messages closer together than this belong to the same change.
constexpr int quietMilliseconds = 50;
// A network that never settles is still reported this often.
constexpr std::chrono::seconds longestBurst{1};

}  // namespace

std::unique_ptr<NetlinkWatcher> NetlinkWatcher::start(NetlinkSocket& events, std::function<void()> onChange) {
    const int stopFd = ::eventfd(0, EFD_CLOEXEC);
    if (stopFd < 0) return nullptr;
    try {
        return std::make_unique<NetlinkWatcher>(events, std::move(onChange), stopFd);
    } catch (const std::system_error& error) {
        // The constructor closed the descriptor; only the thread could not be started.
        errno = error.code().value();
        return nullptr;
    }
}

NetlinkWatcher::NetlinkWatcher(NetlinkSocket& events, std::function<void()> onChange, int stopFd)
    : events_(events), onChange_(std::move(onChange)), stopFd_(stopFd) {
    try {
        thread_ = std::thread([this] { run(); });
    } catch (...) {
        ::close(stopFd_);
        throw;
    }
}

NetlinkWatcher::~NetlinkWatcher() {
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(stopFd_, &one, sizeof one);
    thread_.join();
    ::close(stopFd_);
}

void NetlinkWatcher::run() {
    while (wait(-1) == Wake::events) {
        const auto burstEnd = std::chrono::steady_clock::now() + longestBurst;
        Wake wake = Wake::events;
        while (wake == Wake::events) {
            events_.discardPending();
            wake = std::chrono::steady_clock::now() < burstEnd ? wait(quietMilliseconds) : Wake::quiet;
        }
        if (wake == Wake::stop) return;
        onChange_();
    }
}

NetlinkWatcher::Wake NetlinkWatcher::wait(int timeoutMilliseconds) const {
    pollfd descriptors[2] = {{events_.fd(), POLLIN, 0}, {stopFd_, POLLIN, 0}};
    for (;;) {
        const int ready = ::poll(descriptors, 2, timeoutMilliseconds);
        if (ready < 0 && errno == EINTR) continue;
        // A poll that fails for good would spin; the watcher gives up instead.
        if (ready < 0 || descriptors[1].revents != 0) return Wake::stop;
        return ready == 0 ? Wake::quiet : Wake::events;
    }
}

}  // namespace fenk
