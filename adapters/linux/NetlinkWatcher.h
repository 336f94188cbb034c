#pragma once

#include "adapters/linux/NetlinkSocket.h"

#include <functional>
#include <memory>
#include <thread>

namespace fenk {

// Reads a subscribed netlink socket on a thread of its own and calls `onChange` there once per burst of
// notifications (those that follow each other closely), since one change of the network often arrives as
// several messages. Destroying the watcher stops and joins the thread.
class NetlinkWatcher {
public:
    // Null, with errno set, when the thread or its wake-up descriptor cannot be made.
    static std::unique_ptr<NetlinkWatcher> start(NetlinkSocket& events, std::function<void()> onChange);

    NetlinkWatcher(NetlinkSocket& events, std::function<void()> onChange, int stopFd);
    ~NetlinkWatcher();
    NetlinkWatcher(const NetlinkWatcher&) = delete;
    NetlinkWatcher& operator=(const NetlinkWatcher&) = delete;

private:
    enum class Wake { events, quiet, stop };

    void run();
    Wake wait(int timeoutMilliseconds) const;

    NetlinkSocket& events_;
    std::function<void()> onChange_;
    int stopFd_;
    std::thread thread_;
};

}  // namespace fenk
