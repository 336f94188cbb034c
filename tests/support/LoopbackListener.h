#pragma once

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <string_view>

namespace fenk {

// A TCP server on 127.0.0.1 that a test drives by hand, one connection at a time; every wait has a deadline
// and answers false when it passed.
class LoopbackListener {
public:
    using Patience = std::chrono::milliseconds;

    // On `port`, or on a free one when it is 0.
    explicit LoopbackListener(int port = 0) {
        const int reuse = 1;
        ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
        sockaddr_in address{.sin_family = AF_INET,
                            .sin_port = htons(static_cast<in_port_t>(port)),
                            .sin_addr = {htonl(INADDR_LOOPBACK)},
                            .sin_zero = {}};
        socklen_t length = sizeof address;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length);
        ::listen(listener_, 8);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    ~LoopbackListener() {
        closeConnection();
        ::close(listener_);
    }
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

    int port() const { return port_; }

    // Takes the next connection in place of the current one.
    bool accept(Patience patience) {
        closeConnection();
        if (!readable(listener_, patience)) return false;
        connection_ = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        return connection_ >= 0;
    }

    bool send(std::string_view data) {
        while (!data.empty()) {
            const auto sent = ::send(connection_, data.data(), data.size(), MSG_NOSIGNAL);
            if (sent < 0 && errno == EINTR) continue;
            if (sent <= 0) return false;
            data.remove_prefix(static_cast<std::size_t>(sent));
        }
        return true;
    }

    // Reads until `text` arrived on the connection, or, for empty `text`, until the peer closed it.
    bool receive(std::string_view text, Patience patience) {
        const auto deadline = std::chrono::steady_clock::now() + patience;
        for (;;) {
            if (!text.empty() && received_.find(text) != std::string::npos) return true;
            const auto left = std::chrono::duration_cast<Patience>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0 || !readable(connection_, left)) return false;
            char buffer[512];
            const auto count = ::recv(connection_, buffer, sizeof buffer, 0);
            if (count < 0 && errno == EINTR) continue;
            if (count <= 0) return text.empty();
            received_.append(buffer, static_cast<std::size_t>(count));
        }
    }

private:
    void closeConnection() {
        if (connection_ >= 0) ::close(connection_);
        connection_ = -1;
        received_.clear();
    }

    static bool readable(int fd, Patience patience) {
        pollfd descriptor{fd, POLLIN, 0};
        return ::poll(&descriptor, 1, static_cast<int>(patience.count())) == 1;
    }

    int listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int connection_ = -1;
    int port_ = 0;
    std::string received_;
};

}  // namespace fenk
