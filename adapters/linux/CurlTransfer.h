#pragma once

#include "FenkSDK/ports/Dispatcher.h"
#include "FenkSDK/ports/Http.h"

#include <curl/curl.h>

#include <array>
#include <memory>

namespace fenk {

struct CurlEasyCleanup {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
using CurlEasy = std::unique_ptr<CURL, CurlEasyCleanup>;

// One request on an easy handle: sets the handle up for it, collects the body as it arrives and hands the
// outcome to the completion. The handle points into this object, so it stays at one address (heap) until
// the transfer has ended.
class CurlTransfer {
public:
    CurlTransfer(CurlEasy easy, HttpRequest request, Http::Completion completion);
    CurlTransfer(const CurlTransfer&) = delete;
    CurlTransfer& operator=(const CurlTransfer&) = delete;

    CURL* handle() const { return easy_.get(); }

    // Posts the outcome of the ended transfer to the queue and gives the handle back, reset for reuse.
    CurlEasy finish(CURLcode result, DispatchQueue& queue);
    // Ends a transfer that will not run to its end, with whatever body arrived so far.
    CurlEasy abandon(HttpError error, DispatchQueue& queue);

private:
    struct HeaderListFree {
        void operator()(curl_slist* list) const { curl_slist_free_all(list); }
    };

    CurlEasy complete(std::optional<HttpError> error, DispatchQueue& queue);
    void setMethodAndBody();
    void setHeaders();
    static std::size_t collect(char* bytes, std::size_t size, std::size_t count, void* transfer);

    CurlEasy easy_;
    HttpRequest request_;  // libcurl reads the URL and the body in place while the transfer runs
    std::unique_ptr<curl_slist, HeaderListFree> headers_;
    Http::Completion completion_;
    Data received_;
    std::array<char, CURL_ERROR_SIZE> errorBuffer_{};
};

}  // namespace fenk
