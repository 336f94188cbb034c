#pragma once

#include <linux/netlink.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <variant>
#include <vector>

namespace fenk {

// A NETLINK_ROUTE socket. It belongs to the network namespace of the thread that opened it, whichever
// thread uses it later. Failures answer the errno value, 0 meaning success.
class NetlinkSocket {
public:
    using Visitor = std::function<void(const nlmsghdr& message)>;

    static std::variant<NetlinkSocket, int> open();

    NetlinkSocket(NetlinkSocket&& other) noexcept;
    NetlinkSocket& operator=(NetlinkSocket&& other) noexcept;
    NetlinkSocket(const NetlinkSocket&) = delete;
    NetlinkSocket& operator=(const NetlinkSocket&) = delete;
    ~NetlinkSocket();

    int fd() const { return fd_; }

    // Asks for every object of a kind (RTM_GETLINK, RTM_GETROUTE...) and visits each answer. A dump that
    // the kernel marks inconsistent, because the state changed meanwhile, fails with EAGAIN.
    template <class FamilyHeader>
    int dump(std::uint16_t type, const FamilyHeader& header, const Visitor& visit) {
        return dump(type, &header, sizeof header, visit);
    }

    // Starts or stops receiving the change notifications of a multicast group (RTNLGRP_...).
    int setMembership(unsigned group, bool member);
    // Reads and drops what is waiting, without blocking.
    void discardPending();

private:
    explicit NetlinkSocket(int fd) : fd_(fd) {}
    int dump(std::uint16_t type, const void* header, std::size_t headerSize, const Visitor& visit);
    int receiveDump(std::uint32_t sequence, const Visitor& visit);

    int fd_ = -1;
    std::uint32_t sequence_ = 0;
    // Receives every read; a socket has one reader at a time.
    std::vector<std::byte> buffer_;
};

}  // namespace fenk
