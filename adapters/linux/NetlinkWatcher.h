#pragma once

#include "adapters/linux/NetlinkSocket.h"
#include "adapters/linux/StoppableThread.h"

#include <functional>
#include <memory>

namespace fenk {

// Reads a subscribed netlink socket on a thread of its own and calls `onChange` there once per burst of
// notifications (those that follow each other closely), since one change of the network often arrives as
// several messages. Destroying the watcher stops and joins the thread.
class NetlinkWatcher {
public:
    // Null, with errno set, when the thread or its wake-up descriptor cannot be made.
    static std::unique_ptr<NetlinkWatcher> start(NetlinkSocket& events, std::function<void()> onChange);

    NetlinkWatcher(NetlinkSocket& events, std::function<void()> onChange)
        : events_(events), onChange_(std::move(onChange)) {}

private:
    void run(const StoppableThread& thread);

    NetlinkSocket& events_;
    std::function<void()> onChange_;
    std::unique_ptr<StoppableThread> thread_;
};

}  // namespace fenk
