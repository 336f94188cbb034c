#pragma once

#include "FenkSDK/ports/Dispatcher.h"
#include "FenkSDK/ports/Http.h"

#include <memory>

namespace fenk {

// The HTTP client over libcurl. One thread of its own drives every transfer through a single multi
// handle, so connections are kept alive and reused across requests (libcurl cannot share one pool between
// threads that transfer at once). Completions run on the dispatcher's global queue, exactly once per
// request: requests still running when the client is destroyed complete with an error.
class CurlHttp final : public Http {
public:
    explicit CurlHttp(const std::shared_ptr<Dispatcher>& dispatcher);
    ~CurlHttp() override;
    CurlHttp(const CurlHttp&) = delete;
    CurlHttp& operator=(const CurlHttp&) = delete;

    void send(HttpRequest request, Completion completion) override;

    class Engine;

private:
    std::unique_ptr<Engine> engine_;
};

}  // namespace fenk
