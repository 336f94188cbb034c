#pragma once

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

namespace fenk {

// A broken or hostile server on 127.0.0.1: it reads each request whole and answers every one with the bytes
// the test writes, framing and all, then closes the connection. No HTTP library would send a reply cut
// short or an endless body on purpose; this one does.
class RawReplyServer {
public:
    // Sends bytes to the client; false once the client is gone.
    using Send = std::function<bool(std::string_view bytes)>;
    using Writer = std::function<void(const Send& send)>;

    explicit RawReplyServer(Writer writer) : writer_(std::move(writer)) {
        sockaddr_in address{.sin_family = AF_INET, .sin_port = 0, .sin_addr = {htonl(INADDR_LOOPBACK)}, .sin_zero = {}};
        socklen_t length = sizeof address;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length);
        ::listen(listener_, 8);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { serve(); });
    }

    ~RawReplyServer() {
        ::shutdown(listener_, SHUT_RDWR);  // ends the accept() the thread waits in
        thread_.join();
        ::close(listener_);
    }

    RawReplyServer(const RawReplyServer&) = delete;
    RawReplyServer& operator=(const RawReplyServer&) = delete;

    int port() const { return port_; }
    std::string url(std::string_view path) const { return "http://127.0.0.1:" + std::to_string(port_) + std::string(path); }

    // Headers for a reply of status 200, the blank line included.
    static std::string head(std::string_view headers) { return "HTTP/1.1 200 OK\r\n" + std::string(headers) + "\r\n"; }

private:
    // A client that stops reading must not hold the test up for longer than this.
    static constexpr timeval kStallLimit{20, 0};

    void serve() {
        for (int client; (client = ::accept(listener_, nullptr, nullptr)) >= 0;) {
            ::setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, &kStallLimit, sizeof kStallLimit);
            ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &kStallLimit, sizeof kStallLimit);
            if (readRequest(client)) {
                writer_([client](std::string_view bytes) {
                    while (!bytes.empty()) {
                        const ssize_t sent = ::send(client, bytes.data(), bytes.size(), MSG_NOSIGNAL);
                        if (sent <= 0) return false;
                        bytes.remove_prefix(static_cast<std::size_t>(sent));
                    }
                    return true;
                });
            }
            ::shutdown(client, SHUT_WR);
            ::close(client);
        }
    }

    // Reads the head and the body it announces, so that closing leaves nothing unread to reset the connection.
    static bool readRequest(int client) {
        std::string request;
        std::size_t headEnd = std::string::npos;
        std::size_t total = std::string::npos;
        char buffer[4096];
        while (total == std::string::npos || request.size() < total) {
            const ssize_t received = ::recv(client, buffer, sizeof buffer, 0);
            if (received <= 0) return false;
            request.append(buffer, static_cast<std::size_t>(received));
            if (headEnd == std::string::npos && (headEnd = request.find("\r\n\r\n")) != std::string::npos) {
                total = headEnd + 4 + announcedLength(std::string_view(request).substr(0, headEnd));
            }
        }
        return true;
    }

    static std::size_t announcedLength(std::string_view head) {
        std::string lower(head);
        std::ranges::transform(lower, lower.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        const auto at = lower.find("\r\ncontent-length:");
        return at == std::string::npos ? 0 : std::stoul(lower.substr(at + 17));
    }

    Writer writer_;
    int listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    int port_ = 0;
    std::thread thread_;
};

}  // namespace fenk
