#include "adapters/linux/NetlinkSocket.h"

#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

namespace fenk {
namespace {

// Large enough for the biggest message batch the kernel sends in one dump reply.
constexpr std::size_t receiveBufferSize = 64 * 1024;
// The kernel answers a dump at once; one that has not answered within this time is taken to have failed.
// The question may be asked on the host's thread, so the wait stays short.
constexpr timeval replyTimeout{1, 0};

}  // namespace

std::variant<NetlinkSocket, int> NetlinkSocket::open() {
    const int fd = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE);
    if (fd < 0) return errno;
    NetlinkSocket socket(fd);
    sockaddr_nl local{};
    local.nl_family = AF_NETLINK;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 ||
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &replyTimeout, sizeof replyTimeout) != 0) {
        return errno;
    }
    socket.buffer_.resize(receiveBufferSize);
    return socket;
}

NetlinkSocket::NetlinkSocket(NetlinkSocket&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), sequence_(other.sequence_), buffer_(std::move(other.buffer_)) {}

NetlinkSocket& NetlinkSocket::operator=(NetlinkSocket&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        sequence_ = other.sequence_;
        buffer_ = std::move(other.buffer_);
    }
    return *this;
}

NetlinkSocket::~NetlinkSocket() {
    if (fd_ >= 0) ::close(fd_);
}

int NetlinkSocket::dump(std::uint16_t type, const void* header, std::size_t headerSize, const Visitor& visit) {
    const std::uint32_t sequence = ++sequence_;
    std::vector<std::byte> request(NLMSG_SPACE(headerSize));
    auto* message = reinterpret_cast<nlmsghdr*>(request.data());
    message->nlmsg_len = static_cast<std::uint32_t>(NLMSG_LENGTH(headerSize));
    message->nlmsg_type = type;
    message->nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    message->nlmsg_seq = sequence;
    std::memcpy(NLMSG_DATA(message), header, headerSize);

    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    if (::sendto(fd_, request.data(), message->nlmsg_len, 0, reinterpret_cast<const sockaddr*>(&kernel),
                 sizeof kernel) < 0) {
        return errno;
    }
    return receiveDump(sequence, visit);
}

int NetlinkSocket::receiveDump(std::uint32_t sequence, const Visitor& visit) {
    bool inconsistent = false;
    for (;;) {
        sockaddr_nl sender{};
        socklen_t senderSize = sizeof sender;
        const ssize_t received = ::recvfrom(fd_, buffer_.data(), buffer_.size(), 0,
                                            reinterpret_cast<sockaddr*>(&sender), &senderSize);
        if (received < 0) {
            if (errno == EINTR) continue;
            // The receive time-out: no answer is coming. EAGAIN would read as an interrupted dump to retry.
            if (errno == EAGAIN || errno == EWOULDBLOCK) return ETIMEDOUT;
            return errno;
        }
        // Only the kernel answers a dump; another process may write to this socket's address.
        if (sender.nl_pid != 0) continue;
        auto remaining = static_cast<unsigned>(received);
        for (auto* message = reinterpret_cast<const nlmsghdr*>(buffer_.data()); NLMSG_OK(message, remaining);
             message = NLMSG_NEXT(message, remaining)) {
            if (message->nlmsg_seq != sequence) continue;  // a late answer to an abandoned request
            if ((message->nlmsg_flags & NLM_F_DUMP_INTR) != 0) inconsistent = true;
            if (message->nlmsg_type == NLMSG_DONE) return inconsistent ? EAGAIN : 0;
            if (message->nlmsg_type == NLMSG_ERROR) {
                const auto* error = static_cast<const nlmsgerr*>(NLMSG_DATA(message));
                return error->error != 0 ? -error->error : EPROTO;
            }
            visit(*message);
        }
    }
}

int NetlinkSocket::setMembership(unsigned group, bool member) {
    const int option = member ? NETLINK_ADD_MEMBERSHIP : NETLINK_DROP_MEMBERSHIP;
    return ::setsockopt(fd_, SOL_NETLINK, option, &group, sizeof group) == 0 ? 0 : errno;
}

void NetlinkSocket::discardPending() {
    while (::recv(fd_, buffer_.data(), buffer_.size(), MSG_DONTWAIT) >= 0 || errno == EINTR || errno == ENOBUFS) {
    }
}

}  // namespace fenk
