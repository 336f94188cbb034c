#pragma once

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

namespace fenk {

// A socket on a free loopback port; `listening` decides whether connections to it are taken at all.
class LoopbackPort {
public:
    explicit LoopbackPort(bool listening) {
        sockaddr_in address{.sin_family = AF_INET, .sin_port = 0, .sin_addr = {htonl(INADDR_LOOPBACK)}, .sin_zero = {}};
        socklen_t length = sizeof address;
        ::bind(socket_, reinterpret_cast<sockaddr*>(&address), length);
        if (listening) ::listen(socket_, 8);
        ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
        url = "http://127.0.0.1:" + std::to_string(port) + "/";
    }
    ~LoopbackPort() { ::close(socket_); }
    LoopbackPort(const LoopbackPort&) = delete;
    LoopbackPort& operator=(const LoopbackPort&) = delete;

    int port = 0;
    std::string url;

private:
    int socket_ = ::socket(AF_INET, SOCK_STREAM, 0);
};

// Bound but never listening: connecting to it is refused.
struct RefusingPort : LoopbackPort {
    RefusingPort() : LoopbackPort(false) {}
};

// Listening but never accepting: the kernel completes the connection and takes the request, and no reply
// ever comes.
struct SilentPort : LoopbackPort {
    SilentPort() : LoopbackPort(true) {}
};

}  // namespace fenk
