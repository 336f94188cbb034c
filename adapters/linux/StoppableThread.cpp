#include "adapters/linux/StoppableThread.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>

namespace fenk {

std::unique_ptr<StoppableThread> StoppableThread::start(Body body) {
    const int stopFd = ::eventfd(0, EFD_CLOEXEC);
    if (stopFd < 0) return nullptr;
    auto thread = std::make_unique<StoppableThread>(stopFd);
    try {
        thread->thread_ = std::thread([self = thread.get(), body = std::move(body)] { body(*self); });
    } catch (const std::system_error& error) {
        errno = error.code().value();
        return nullptr;
    }
    return thread;
}

StoppableThread::~StoppableThread() {
    if (thread_.joinable()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto written = ::write(stopFd_, &one, sizeof one);
        thread_.join();
    }
    ::close(stopFd_);
}

Wake StoppableThread::wait(int fd, int timeoutMilliseconds) const {
    pollfd descriptors[2] = {{stopFd_, POLLIN, 0}, {fd, POLLIN, 0}};
    for (;;) {
        const int ready = ::poll(descriptors, 2, timeoutMilliseconds);
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0 || descriptors[0].revents != 0) return Wake::stop;
        return ready == 0 ? Wake::timeout : Wake::ready;
    }
}

}  // namespace fenk
