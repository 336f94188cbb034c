#pragma once

#include "FenkSDK/ports/Http.h"

#include <memory>
#include <string>

namespace fenk {

// Sends every exchange to another host and port than its address names. The platform address grammar
// leaves no room for a port, so a platform on a development port is reached as http://127.0.0.1 with the
// exchanges redirected to 127.0.0.1:PORT.
class RedirectingHttp final : public Http {
public:
    RedirectingHttp(std::shared_ptr<Http> client, std::string authority)
        : client_(std::move(client)), authority_(std::move(authority)) {}

    void send(HttpRequest request, Completion completion) override {
        request.url = redirected(request.url);
        client_->send(std::move(request), std::move(completion));
    }

private:
    std::string redirected(const std::string& url) const {
        const auto schemeEnd = url.find("://");
        if (schemeEnd == std::string::npos) return url;
        const auto start = schemeEnd + 3;
        const auto end = url.find_first_of("/?#", start);
        return url.substr(0, start) + authority_ + (end == std::string::npos ? "" : url.substr(end));
    }

    std::shared_ptr<Http> client_;
    std::string authority_;
};

}  // namespace fenk
