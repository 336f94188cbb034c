#pragma once

#include "FenkSDK/ports/Reachability.h"

#include <linux/netlink.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace fenk {

// The kernel's links and default routes at one moment, and what they mean for reaching the internet.
struct RoutingSnapshot {
    struct Link {
        std::string name;
        unsigned flags = 0;        // IFF_...
        unsigned short type = 0;   // ARPHRD_...
    };
    struct DefaultRoute {
        int interfaceIndex = 0;
        std::uint32_t metric = 0;
    };

    std::map<int, Link> links;  // by interface index
    std::vector<DefaultRoute> defaultRoutes;

    // Take in one answer of a link dump or a route dump; other messages are ignored.
    void addLink(const nlmsghdr& message);
    void addRoute(const nlmsghdr& message);

    // Reachable when the best default route leaves through a link that is up and has carrier; reachable
    // over cellular when that link is a wireless-WAN modem.
    ReachabilityFlags reachabilityFlags() const;
};

}  // namespace fenk
