#pragma once

#include "FenkSDK/api/RequestParameters.h"
#include "FenkSDK/ports/Dispatcher.h"
#include "FenkSDK/ports/Http.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace fenk {

// Carries every request to the platform: reads travel as GET with their parameters in the query, writes
// as a form POST. The token rides in the query ("?token=…") or in the form ("token").
//
// Every completion runs exactly once and never inside the call that started it: with the exchange's body,
// response and error, or, when no request could be sent (the URL is not well formed), with no body and an
// error, on the dispatcher's global queue. Callers look at the body only. An exchange that fails prints one
// console line with its host, path and the reason.
//
// Cheap to copy; a copy shares the HTTP client and may be dropped while its requests are in flight.
class PlatformTransport {
public:
    using Completion = Http::Completion;

    static constexpr std::chrono::seconds kRequestTimeout{60};

    // `requestTimeout` exists for tests of slow platforms; the SDK always uses the default.
    PlatformTransport(std::shared_ptr<Http> http, const std::shared_ptr<Dispatcher>& dispatcher,
                      std::chrono::milliseconds requestTimeout = kRequestTimeout);

    // GET to `url` (escaped where it must be, its own escapes kept) followed by "?token=<token>" when a
    // token is given, then "&<name>=<value>" for each parameter whose value is not empty, each name and
    // value escaped as a query component. The first parameter follows an "&" even without a token: the
    // authentication address brings its own "?".
    void sendGet(std::string_view url, const RequestParameters& parameters, const std::optional<std::string>& token,
                 Completion completion) const;

    // Form POST to `url` as given, the token added to the form as "token". Prints the token, shortened, to
    // the console.
    void sendPost(std::string_view url, RequestParameters parameters, const std::optional<std::string>& token,
                  Completion completion) const;

    // sendPost for the position upload: silent, and marked asynchronous both in the form ("async"="true",
    // after the token) and in an "async: true" header.
    void sendPostAsync(std::string_view url, RequestParameters parameters, const std::optional<std::string>& token,
                       Completion completion) const;

    // Completes as a request that could not be sent, without sending anything.
    void completeUnsent(Completion completion, std::string reason) const;

private:
    void sendForm(std::string_view url, RequestParameters form, const std::optional<std::string>& token,
                  bool markedAsync, Completion completion) const;
    void send(HttpRequest request, Completion completion) const;

    std::shared_ptr<Http> http_;
    std::shared_ptr<DispatchQueue> completionQueue_;
    std::chrono::milliseconds requestTimeout_;
};

}  // namespace fenk
