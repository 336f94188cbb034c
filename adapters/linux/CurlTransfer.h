#pragma once

#include "FenkSDK/ports/Dispatcher.h"
#include "FenkSDK/ports/Http.h"

#include <curl/curl.h>

#include <array>
#include <cstddef>
#include <memory>
#include <vector>

namespace fenk {

struct CurlEasyCleanup {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
using CurlEasy = std::unique_ptr<CURL, CurlEasyCleanup>;

// One request on an easy handle: sets the handle up for it, collects the body as it arrives and hands the
// outcome to the completion, with the body only when the whole of it arrived. The handle points into this
// object, so it stays at one address (heap) until the transfer has ended.
class CurlTransfer {
public:
    CurlTransfer(CurlEasy easy, HttpRequest request, Http::Completion completion);
    CurlTransfer(const CurlTransfer&) = delete;
    CurlTransfer& operator=(const CurlTransfer&) = delete;

    CURL* handle() const { return easy_.get(); }

    // Posts the outcome of the ended transfer to the queue and gives the handle back, reset for reuse.
    CurlEasy finish(CURLcode result, DispatchQueue& queue);
    // Ends a transfer that will not run to its end.
    CurlEasy abandon(HttpError error, DispatchQueue& queue);

private:
    struct HeaderListFree {
        void operator()(curl_slist* list) const { curl_slist_free_all(list); }
    };

    CurlEasy complete(std::optional<HttpError> error, DispatchQueue& queue);
    void setMethodAndBody();
    void setHeaders();
    Data takeBody();
    // Keeps the decoded body as it arrives, up to the request's limit.
    static std::size_t collect(char* bytes, std::size_t size, std::size_t count, void* self);

    CurlEasy easy_;
    HttpRequest request_;  // libcurl reads the URL and the body in place while the transfer runs
    std::unique_ptr<curl_slist, HeaderListFree> headers_;
    Http::Completion completion_;
    // The body arrives into blocks of one size: a buffer grown by doubling would copy what arrived at each
    // step and leave the outgrown buffers behind, up to three times the limit in all.
    static constexpr std::size_t kBlockBytes = 64 * 1024;
    std::vector<Data> received_;
    std::size_t receivedBytes_ = 0;
    bool overLimit_ = false;  // the body grew past the limit and the transfer was abandoned
    std::array<char, CURL_ERROR_SIZE> errorBuffer_{};
};

}  // namespace fenk
