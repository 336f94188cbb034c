#include "adapters/linux/RoutingSnapshot.h"

#include <linux/if.h>
#include <linux/if_arp.h>

#include <gtest/gtest.h>

namespace fenk {
namespace {

using namespace ReachabilityFlag;

constexpr unsigned operational = IFF_UP | IFF_RUNNING | IFF_LOWER_UP;

// The kinds of link the Linux adapter meets behind the best default route.
TEST(RoutingSnapshot, TheLinkOfTheBestDefaultRouteDecidesTheFlags) {
    const struct {
        const char* what;
        RoutingSnapshot::Link link;
        ReachabilityFlags expected;
    } cases[] = {
        {"ethernet", {"enp3s0", operational, ARPHRD_ETHER}, reachable},
        {"modem in raw-IP mode", {"mhi0", operational, ARPHRD_RAWIP}, reachable | isWWAN},
        {"modem named by udev", {"wwan0", operational, ARPHRD_ETHER}, reachable | isWWAN},
        {"VPN tunnel", {"tun0", operational, ARPHRD_NONE}, reachable},
        {"no carrier", {"enp3s0", IFF_UP, ARPHRD_ETHER}, 0},
        {"still authenticating", {"wlp2s0", IFF_UP | IFF_LOWER_UP | IFF_DORMANT, ARPHRD_ETHER}, 0},
        {"loopback", {"lo", operational | IFF_LOOPBACK, ARPHRD_LOOPBACK}, 0},
    };
    for (const auto& c : cases) {
        RoutingSnapshot snapshot;
        snapshot.links[2] = c.link;
        snapshot.defaultRoutes = {{2, 100}, {7, 0}};  // the better route leaves through a link that is gone
        EXPECT_EQ(snapshot.reachabilityFlags(), c.expected) << c.what;
    }
}

}  // namespace
}  // namespace fenk
