#pragma once

#include "FenkSDK/runtime/Data.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace fenk {

// The platform's replies are small JSON envelopes; one larger than this is broken or hostile.
inline constexpr std::size_t kDefaultMaxReplyBytes = 8 * 1024 * 1024;

struct HttpRequest {
    std::string method{};  // "GET" or "POST"
    std::string url{};
    std::vector<std::pair<std::string, std::string>> headers{};
    Data body{};
    std::chrono::milliseconds timeout{std::chrono::seconds(60)};  // zero: none
    // The most body bytes, counted after any content decoding, the exchange may hand back. A reply that
    // grows past it is abandoned as it arrives and the exchange fails.
    std::size_t maxReplyBytes = kDefaultMaxReplyBytes;
};

// A GET of `url` that gives up after `timeout` and takes at most `maxReplyBytes` of reply.
inline HttpRequest getRequest(std::string url, std::chrono::milliseconds timeout,
                              std::size_t maxReplyBytes = kDefaultMaxReplyBytes) {
    return HttpRequest{.method = "GET",
                       .url = std::move(url),
                       .headers = {},
                       .body = {},
                       .timeout = timeout,
                       .maxReplyBytes = maxReplyBytes};
}

struct HttpResponse {
    int statusCode = 0;
};

struct HttpError {
    std::string message{};
};

// The system's HTTP client. The completion runs exactly once, off the caller's thread, with whatever the
// exchange produced: a body, the response status, and an error when the exchange failed. A failed exchange
// never comes with a body: a reply cut short may still read as a whole document, and must not be taken for one.
class Http {
public:
    using Completion =
        std::function<void(std::optional<Data> body, std::optional<HttpResponse> response, std::optional<HttpError> error)>;

    virtual ~Http() = default;
    virtual void send(HttpRequest request, Completion completion) = 0;
};

}  // namespace fenk
