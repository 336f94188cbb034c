#include "adapters/linux/CurlTransfer.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <string>
#include <utility>

namespace fenk {
namespace {

// What went wrong, in the words a person reading the console looks for; libcurl's own message follows.
std::string failureOf(CURLcode result, long osError) {
    switch (result) {
        case CURLE_PEER_FAILED_VERIFICATION: return "untrusted certificate";
        case CURLE_SSL_CONNECT_ERROR: return "secure connection failed";
        case CURLE_OPERATION_TIMEDOUT: return "timed out";
        case CURLE_COULDNT_RESOLVE_HOST: return "unknown host";
        case CURLE_COULDNT_CONNECT: return osError == ECONNREFUSED ? "connection refused" : "could not connect";
        case CURLE_PARTIAL_FILE:
        case CURLE_RECV_ERROR:
        case CURLE_GOT_NOTHING: return "connection closed before the whole reply arrived";
        default: return "transfer failed";
    }
}

}  // namespace

CurlTransfer::CurlTransfer(CurlEasy handle, HttpRequest request, Http::Completion completion)
    : easy_(std::move(handle)), request_(std::move(request)), completion_(std::move(completion)) {
    CURL* const easy = easy_.get();
    const auto timeout = std::chrono::duration_cast<std::chrono::milliseconds>(request_.timeout);
    curl_easy_setopt(easy, CURLOPT_URL, request_.url.c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_PRIVATE, this);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorBuffer_.data());
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &CurlTransfer::collect);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    // Signals cannot time out name resolution on a thread that is not the main one; let libcurl use its own.
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(timeout.count()));
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    // Small requests and replies: waiting to fill a segment would add a delay to every exchange.
    curl_easy_setopt(easy, CURLOPT_TCP_NODELAY, 1L);
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    // Any content coding libcurl can decode; the caller always sees the decoded body, and collect() holds
    // the decoded bytes to the limit. An announced length past it is refused before any byte is read.
    curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(request_.maxReplyBytes));
    setMethodAndBody();
    setHeaders();
}

void CurlTransfer::setMethodAndBody() {
    CURL* const easy = easy_.get();
    if (request_.method == "GET") {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
        return;
    }
    // A null body pointer would make libcurl read the body from a callback instead; an empty one is "".
    const void* body = request_.body.empty() ? static_cast<const void*>("") : request_.body.data();
    curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request_.body.size()));
    curl_easy_setopt(easy, CURLOPT_POSTFIELDS, body);
    if (request_.method != "POST") curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, request_.method.c_str());
}

void CurlTransfer::setHeaders() {
    const auto append = [this](const std::string& line) {
        curl_slist* head = headers_.release();
        if (curl_slist* grown = curl_slist_append(head, line.c_str())) head = grown;
        headers_.reset(head);
    };
    for (const auto& [name, value] : request_.headers) {
        // "Name;" is how libcurl is told to send a header whose value is empty.
        append(value.empty() ? name + ";" : name + ": " + value);
    }
    // Waiting for "100 Continue" before a body costs a round trip, or a second when the server stays silent.
    if (request_.method != "GET") append("Expect:");
    curl_easy_setopt(easy_.get(), CURLOPT_HTTPHEADER, headers_.get());
}

std::size_t CurlTransfer::collect(char* bytes, std::size_t size, std::size_t count, void* self) {
    auto& transfer = *static_cast<CurlTransfer*>(self);
    const std::size_t length = size * count;
    if (length > transfer.request_.maxReplyBytes - transfer.receivedBytes_) {
        transfer.overLimit_ = true;
        return 0;  // anything short of `length` makes libcurl abandon the transfer
    }
    auto& blocks = transfer.received_;
    const auto* next = reinterpret_cast<const std::uint8_t*>(bytes);
    const auto* const end = next + length;
    while (next != end) {
        if (blocks.empty() || blocks.back().size() == kBlockBytes) blocks.emplace_back().reserve(kBlockBytes);
        Data& block = blocks.back();
        const auto* const taken = next + std::min(kBlockBytes - block.size(), static_cast<std::size_t>(end - next));
        block.insert(block.end(), next, taken);
        next = taken;
    }
    transfer.receivedBytes_ += length;
    return length;
}

Data CurlTransfer::takeBody() {
    Data body;
    body.reserve(receivedBytes_);
    for (const Data& block : received_) body.insert(body.end(), block.begin(), block.end());
    received_.clear();
    return body;
}

CurlEasy CurlTransfer::finish(CURLcode result, DispatchQueue& queue) {
    if (result == CURLE_OK) return complete(std::nullopt, queue);
    if (overLimit_ || result == CURLE_FILESIZE_EXCEEDED) {
        return complete(HttpError{"reply larger than " + std::to_string(request_.maxReplyBytes) + " bytes"}, queue);
    }
    long osError = 0;
    curl_easy_getinfo(easy_.get(), CURLINFO_OS_ERRNO, &osError);
    const std::string detail = errorBuffer_[0] != '\0' ? errorBuffer_.data() : curl_easy_strerror(result);
    return complete(HttpError{failureOf(result, osError) + ": " + detail}, queue);
}

CurlEasy CurlTransfer::abandon(HttpError error, DispatchQueue& queue) { return complete(std::move(error), queue); }

CurlEasy CurlTransfer::complete(std::optional<HttpError> error, DispatchQueue& queue) {
    long status = 0;
    curl_easy_getinfo(easy_.get(), CURLINFO_RESPONSE_CODE, &status);
    std::optional<HttpResponse> response;
    if (status != 0) response = HttpResponse{static_cast<int>(status)};
    // What arrived of a failed exchange stays behind, however whole it looks.
    std::optional<Data> body;
    if (!error) body = takeBody();
    queue.async([completion = std::move(completion_), body = std::move(body), response,
                 error = std::move(error)]() mutable { completion(std::move(body), response, std::move(error)); });
    curl_easy_reset(easy_.get());
    return std::move(easy_);
}

}  // namespace fenk
