#pragma once

#include "FenkSDK/ports/Dispatcher.h"
#include "FenkSDK/ports/Http.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fenk {

// What the scripted server answers, after an optional delay. The completion receives it as a real client
// would hand it on: without the body when there is an error, or when the body is past the request's limit.
struct FakeHttpReply {
    std::optional<Data> body{};
    std::optional<HttpResponse> response{};
    std::optional<HttpError> error{};
    Duration delay{};

    static FakeHttpReply text(std::string_view body, int status = 200);
    // A successful exchange whose body is no JSON at all, as a captive portal or a proxy page would be.
    static FakeHttpReply garbage();
    // A transport failure: nothing arrived, not even a status.
    static FakeHttpReply noBody(std::string message = "The network connection was lost.");
};

// A scripted HTTP client for tests. It records every request and answers each one when the test says, or
// at once through an auto-reply handler. Completions run on the dispatcher's global queue, so tests drive
// them with runUntilIdle() or advance(). Like a real client, a request still unanswered when its time-out
// elapses completes with an error, and so does every unanswered request when the client is destroyed.
class FakeHttp final : public Http {
public:
    // Answers a request as it is sent; no reply leaves it waiting for the test.
    using AutoReply = std::function<std::optional<FakeHttpReply>(const HttpRequest&)>;

    explicit FakeHttp(std::shared_ptr<Dispatcher> dispatcher);
    ~FakeHttp() override;
    FakeHttp(const FakeHttp&) = delete;
    FakeHttp& operator=(const FakeHttp&) = delete;

    void send(HttpRequest request, Completion completion) override;

    // Every request sent so far, in order; a request's index here is the one reply() takes.
    std::vector<HttpRequest> requests() const;
    std::size_t unansweredCount() const;

    // Answer the oldest unanswered request, or the one at an index; false when there is none to answer.
    bool reply(FakeHttpReply reply);
    bool reply(std::size_t index, FakeHttpReply reply);

    void setAutoReply(AutoReply handler);

    struct State;

private:
    std::shared_ptr<State> state_;
};

}  // namespace fenk
