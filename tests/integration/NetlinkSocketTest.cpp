#include "adapters/linux/NetlinkSocket.h"

#include <linux/rtnetlink.h>
#include <sys/socket.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <variant>
#include <vector>

namespace fenk {
namespace {

// Another process may write to a netlink socket's address. A forged "permission denied" answer, queued
// before the kernel's, must not end the dump.
TEST(NetlinkSocketTest, ADumpListensToTheKernelOnly) {
    auto opened = NetlinkSocket::open();
    ASSERT_TRUE(std::holds_alternative<NetlinkSocket>(opened)) << std::strerror(std::get<int>(opened));
    auto& socket = std::get<NetlinkSocket>(opened);
    sockaddr_nl own{};
    socklen_t ownSize = sizeof own;
    ASSERT_EQ(::getsockname(socket.fd(), reinterpret_cast<sockaddr*>(&own), &ownSize), 0);

    auto forgerOpened = NetlinkSocket::open();
    ASSERT_TRUE(std::holds_alternative<NetlinkSocket>(forgerOpened));
    std::vector<std::byte> forged(NLMSG_SPACE(sizeof(nlmsgerr)));
    auto* header = reinterpret_cast<nlmsghdr*>(forged.data());
    header->nlmsg_len = static_cast<std::uint32_t>(NLMSG_LENGTH(sizeof(nlmsgerr)));
    header->nlmsg_type = NLMSG_ERROR;
    header->nlmsg_seq = 1;  // the first dump's sequence number
    static_cast<nlmsgerr*>(NLMSG_DATA(header))->error = -EPERM;
    const int sent = static_cast<int>(::sendto(std::get<NetlinkSocket>(forgerOpened).fd(), forged.data(),
                                               header->nlmsg_len, 0, reinterpret_cast<const sockaddr*>(&own),
                                               sizeof own));
    if (sent < 0) GTEST_SKIP() << "this sandbox forbids writing to another netlink socket: " << std::strerror(errno);

    int links = 0;
    EXPECT_EQ(socket.dump(RTM_GETLINK, ifinfomsg{}, [&](const nlmsghdr&) { ++links; }), 0);
    EXPECT_GE(links, 1);  // the loopback link at least
}

}  // namespace
}  // namespace fenk
