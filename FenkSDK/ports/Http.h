#pragma once

#include "FenkSDK/Data.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace fenk {

struct HttpRequest {
    std::string method{};  // "GET" or "POST"
    std::string url{};
    std::vector<std::pair<std::string, std::string>> headers{};
    Data body{};
    std::chrono::seconds timeout{60};
};

struct HttpResponse {
    int statusCode = 0;
};

struct HttpError {
    std::string message{};
};

// The system's HTTP client. The completion runs exactly once, off the caller's thread, with whatever the
// exchange produced: a body, the response status, and an error when the exchange failed.
class Http {
public:
    using Completion =
        std::function<void(std::optional<Data> body, std::optional<HttpResponse> response, std::optional<HttpError> error)>;

    virtual ~Http() = default;
    virtual void send(HttpRequest request, Completion completion) = 0;
};

}  // namespace fenk
