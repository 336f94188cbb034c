#include "adapters/linux/NetlinkWatcher.h"

#include <chrono>

namespace fenk {
namespace {

// Messages closer together than this belong to the same change.
constexpr int quietMilliseconds = 50;
// A network that never settles is still reported this often.
constexpr std::chrono::seconds longestBurst{1};

}  // namespace

std::unique_ptr<NetlinkWatcher> NetlinkWatcher::start(NetlinkSocket& events, std::function<void()> onChange) {
    auto watcher = std::make_unique<NetlinkWatcher>(events, std::move(onChange));
    watcher->thread_ = StoppableThread::start([self = watcher.get()](const StoppableThread& thread) { self->run(thread); });
    return watcher->thread_ ? std::move(watcher) : nullptr;
}

void NetlinkWatcher::run(const StoppableThread& thread) {
    while (thread.wait(events_.fd(), -1) == Wake::ready) {
        const auto burstEnd = std::chrono::steady_clock::now() + longestBurst;
        Wake wake = Wake::ready;
        while (wake == Wake::ready) {
            events_.discardPending();
            wake = std::chrono::steady_clock::now() < burstEnd ? thread.wait(events_.fd(), quietMilliseconds)
                                                                : Wake::timeout;
        }
        if (wake == Wake::stop) return;
        onChange_();
    }
}

}  // namespace fenk
