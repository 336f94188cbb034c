#include "FenkSDK/api/PlatformTransport.h"

#include "FenkSDK/api/PercentEncoding.h"
#include "FenkSDK/api/WellFormedUrl.h"
#include "FenkSDK/runtime/Console.h"

#include <algorithm>
#include <string>
#include <utility>

namespace fenk {
namespace {

// The console is often shared or collected, so a token shows only enough of itself to be recognised: its
// first four characters, and never more than half of a short one.
std::string describeToken(const std::optional<std::string>& token) {
    if (!token) return "Token: NADA";
    const std::size_t shown = std::min<std::size_t>(4, token->size() / 2);
    return "Token: " + token->substr(0, shown) + "\u2026 (" + std::to_string(token->size()) + " characters)";
}

// The host and path of an address, for the console: its user part and its query can hold secrets.
std::string hostAndPath(std::string_view url) {
    const std::size_t schemeEnd = url.find("://");
    url.remove_prefix(schemeEnd == std::string_view::npos ? 0 : schemeEnd + 3);
    url = url.substr(0, url.find_first_of("?#"));
    const std::size_t userEnd = url.substr(0, url.find('/')).rfind('@');
    if (userEnd != std::string_view::npos) url.remove_prefix(userEnd + 1);
    return std::string(url);
}

}  // namespace

PlatformTransport::PlatformTransport(std::shared_ptr<Http> http, const std::shared_ptr<Dispatcher>& dispatcher,
                                     std::chrono::milliseconds requestTimeout)
    : http_(std::move(http)), completionQueue_(dispatcher->globalQueue()), requestTimeout_(requestTimeout) {}

void PlatformTransport::sendGet(std::string_view url, const RequestParameters& parameters,
                                const std::optional<std::string>& token, Completion completion) const {
    // Each name and value is escaped on its own: escaping the finished text would leave a value's '&' or
    // '=' standing and let it inject parameters.
    std::string fullUrl = encodeUrlText(url);
    if (token) fullUrl += "?token=" + encodeQueryComponent(*token);
    for (const auto& [name, value] : parameters) {
        if (value.empty()) continue;
        fullUrl += '&' + encodeQueryComponent(name) + '=' + encodeQueryComponent(value);
    }
    send(getRequest(std::move(fullUrl), requestTimeout_),
         std::move(completion));
}

void PlatformTransport::sendPost(std::string_view url, RequestParameters parameters,
                                 const std::optional<std::string>& token, Completion completion) const {
    Console::print(describeToken(token));
    sendForm(url, std::move(parameters), token, false, std::move(completion));
}

void PlatformTransport::sendPostAsync(std::string_view url, RequestParameters parameters,
                                      const std::optional<std::string>& token, Completion completion) const {
    sendForm(url, std::move(parameters), token, true, std::move(completion));
}

void PlatformTransport::sendForm(std::string_view url, RequestParameters form, const std::optional<std::string>& token,
                                 bool markedAsync, Completion completion) const {
    decltype(HttpRequest::headers) headers{{"Content-Type", "application/x-www-form-urlencoded"}};
    if (token) setParameter(form, "token", *token);
    if (markedAsync) {
        setParameter(form, "async", "true");
        headers.emplace_back("async", "true");
    }
    send(HttpRequest{.method = "POST",
                     .url = std::string(url),
                     .headers = std::move(headers),
                     .body = formEncode(form),
                     .timeout = requestTimeout_},
         std::move(completion));
}

void PlatformTransport::send(HttpRequest request, Completion completion) const {
    if (!isWellFormedUrl(request.url)) {
        // The address may hold a token, so it stays out of the message.
        completeUnsent(std::move(completion), "the request address is not a well-formed URL");
        return;
    }
    // One line per failed exchange, so that a caller's empty answer has a reason beside it.
    std::string where = hostAndPath(request.url);
    http_->send(std::move(request), [where = std::move(where), completion = std::move(completion)](
                                        std::optional<Data> body, std::optional<HttpResponse> response,
                                        std::optional<HttpError> error) {
        if (error) Console::print("Request to " + where + " failed: " + error->message);
        completion(std::move(body), response, std::move(error));
    });
}

void PlatformTransport::completeUnsent(Completion completion, std::string reason) const {
    completionQueue_->async([completion = std::move(completion), reason = std::move(reason)]() mutable {
        completion(std::nullopt, std::nullopt, HttpError{std::move(reason)});
    });
}

}  // namespace fenk
