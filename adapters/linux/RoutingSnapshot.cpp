#include "adapters/linux/RoutingSnapshot.h"

#include <linux/if.h>
#include <linux/if_arp.h>
#include <linux/rtnetlink.h>

#include <cstring>
#include <string_view>

namespace fenk {
namespace {

template <class T>
T attributeValue(const rtattr& attribute) {
    T value{};
    if (RTA_PAYLOAD(&attribute) >= sizeof value) std::memcpy(&value, RTA_DATA(&attribute), sizeof value);
    return value;
}

// Visits the attributes that follow the family header of a message.
template <class FamilyHeader, class Visit>
void forEachAttribute(const nlmsghdr& message, Visit visit) {
    if (message.nlmsg_len < NLMSG_LENGTH(sizeof(FamilyHeader))) return;
    const auto* header = static_cast<const FamilyHeader*>(NLMSG_DATA(&message));
    auto remaining = static_cast<unsigned>(message.nlmsg_len - NLMSG_LENGTH(sizeof(FamilyHeader)));
    for (const auto* attribute = reinterpret_cast<const rtattr*>(
             reinterpret_cast<const char*>(header) + NLMSG_ALIGN(sizeof(FamilyHeader)));
         RTA_OK(attribute, remaining); attribute = RTA_NEXT(attribute, remaining)) {
        visit(*attribute);
    }
}

bool isWirelessWan(const RoutingSnapshot::Link& link) {
    // Modems in raw-IP mode say so by their hardware type; others are recognised by the name udev gives
    // them. ARPHRD_NONE is not taken as a sign: tunnels of VPNs use it too.
    return link.type == ARPHRD_RAWIP || std::string_view(link.name).starts_with("wwan");
}

bool carriesTraffic(const RoutingSnapshot::Link& link) {
    return (link.flags & IFF_UP) != 0 && (link.flags & IFF_RUNNING) != 0 && (link.flags & IFF_LOOPBACK) == 0;
}

}  // namespace

void RoutingSnapshot::addLink(const nlmsghdr& message) {
    if (message.nlmsg_type != RTM_NEWLINK || message.nlmsg_len < NLMSG_LENGTH(sizeof(ifinfomsg))) return;
    const auto* info = static_cast<const ifinfomsg*>(NLMSG_DATA(&message));
    Link link{.name = {}, .flags = info->ifi_flags, .type = info->ifi_type};
    forEachAttribute<ifinfomsg>(message, [&](const rtattr& attribute) {
        if (attribute.rta_type == IFLA_IFNAME) {
            link.name.assign(static_cast<const char*>(RTA_DATA(&attribute)),
                             ::strnlen(static_cast<const char*>(RTA_DATA(&attribute)), RTA_PAYLOAD(&attribute)));
        }
    });
    links[info->ifi_index] = std::move(link);
}

void RoutingSnapshot::addRoute(const nlmsghdr& message) {
    if (message.nlmsg_type != RTM_NEWROUTE || message.nlmsg_len < NLMSG_LENGTH(sizeof(rtmsg))) return;
    const auto* route = static_cast<const rtmsg*>(NLMSG_DATA(&message));
    if (route->rtm_dst_len != 0 || route->rtm_type != RTN_UNICAST ||
        (route->rtm_family != AF_INET && route->rtm_family != AF_INET6)) {
        return;
    }
    std::uint32_t table = route->rtm_table;
    std::uint32_t metric = 0;
    std::vector<int> interfaces;
    forEachAttribute<rtmsg>(message, [&](const rtattr& attribute) {
        switch (attribute.rta_type) {
        case RTA_TABLE: table = attributeValue<std::uint32_t>(attribute); break;
        case RTA_PRIORITY: metric = attributeValue<std::uint32_t>(attribute); break;
        case RTA_OIF: interfaces.push_back(attributeValue<int>(attribute)); break;
        case RTA_MULTIPATH: {
            // Each next hop of a multipath route leaves through an interface of its own.
            auto remaining = static_cast<int>(RTA_PAYLOAD(&attribute));
            const auto* hop = static_cast<const rtnexthop*>(RTA_DATA(&attribute));
            while (RTNH_OK(hop, remaining)) {
                interfaces.push_back(hop->rtnh_ifindex);
                remaining -= static_cast<int>(RTNH_ALIGN(hop->rtnh_len));
                hop = RTNH_NEXT(hop);
            }
            break;
        }
        default: break;
        }
    });
    if (table != RT_TABLE_MAIN) return;
    for (const int interfaceIndex : interfaces) defaultRoutes.push_back({interfaceIndex, metric});
}

ReachabilityFlags RoutingSnapshot::reachabilityFlags() const {
    // Metrics of both families are compared alike: the lowest one is where traffic goes first.
    const Link* bestLink = nullptr;
    std::uint32_t bestMetric = 0;
    for (const auto& route : defaultRoutes) {
        const auto link = links.find(route.interfaceIndex);
        if (link == links.end() || !carriesTraffic(link->second)) continue;
        if (bestLink == nullptr || route.metric < bestMetric) {
            bestLink = &link->second;
            bestMetric = route.metric;
        }
    }
    if (bestLink == nullptr) return 0;
    return ReachabilityFlag::reachable | (isWirelessWan(*bestLink) ? ReachabilityFlag::isWWAN : 0);
}

}  // namespace fenk
