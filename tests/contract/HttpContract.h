#pragma once

#include "FenkSDK/ports/Dispatcher.h"
#include "FenkSDK/ports/Http.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace fenk::contract {

using namespace std::chrono_literals;

// What every HTTP adapter must do, run against each of them. A driver provides:
//   std::shared_ptr<Http> http();              the client under test, made with the driver
//   void destroyHttp();                        drops the driver's client
//   std::string url(std::string_view path);    an address on the test server, whose paths answer:
//       /echo      200 with "echo:" followed by the request body
//       /missing   404 with "missing"
//       /kilobyte  200 with 1024 times "k"
//       /cut       200 announcing a longer body than the complete JSON object it sends, then closing
//       /slow      not until the driver is destroyed
//   std::string refusedUrl();                  an address where nothing accepts connections
//   ServedRequest lastServed();                the last request the server received
//   void awaitServed(std::size_t count);       waits until the server has received that many requests
//   DispatchQueue& globalQueue();              where completions must run
//   void pump();                               runs queued work and lets time pass, where nothing else does
//   Duration patience() const;                 how long completions may take to arrive

struct ServedRequest {
    std::string method, path;
    std::map<std::string, std::string> headers;
    std::string body;
};

struct Outcome {
    std::optional<std::string> body;
    std::optional<HttpResponse> response;
    std::optional<HttpError> error;
    bool onGlobalQueue = false;
    bool duringSend = false;
};

// Set while the test thread is inside send(), to catch a completion that runs before send() returns.
inline thread_local bool tInsideSend = false;

// The completions of a test's requests, by a key the test gives each request.
class OutcomeLog {
public:
    void send(Http& http, HttpRequest request, int key, const DispatchQueue& global) {
        tInsideSend = true;
        http.send(std::move(request), [this, key, &global](auto body, auto response, auto error) {
            std::lock_guard lock(mutex_);
            outcomes_.emplace(key, Outcome{body ? std::optional(std::string(asText(*body))) : std::nullopt, response,
                                           error, global.isCurrent(), tInsideSend});
            arrived_.notify_all();  // under the lock: the waiter may destroy the log once it returns
        });
        tInsideSend = false;
    }

    bool awaitCount(std::size_t count, Duration patience) {
        std::unique_lock lock(mutex_);
        return arrived_.wait_for(lock, patience, [&] { return outcomes_.size() >= count; });
    }

    std::vector<Outcome> of(int key) const {
        std::lock_guard lock(mutex_);
        std::vector<Outcome> found;
        for (auto [it, end] = outcomes_.equal_range(key); it != end; ++it) found.push_back(it->second);
        return found;
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::multimap<int, Outcome> outcomes_;
};

inline HttpRequest makeRequest(std::string method, std::string url, std::string_view body = {},
                               std::chrono::milliseconds timeout = 60s,
                               std::size_t maxReplyBytes = kDefaultMaxReplyBytes) {
    HttpRequest request;
    request.method = std::move(method);
    request.url = std::move(url);
    request.body = toData(body);
    request.timeout = timeout;
    request.maxReplyBytes = maxReplyBytes;
    return request;
}

template <class Driver>
class HttpContract : public ::testing::Test {
protected:
    void send(HttpRequest request, int key) {
        log_.send(*driver_.http(), std::move(request), key, driver_.globalQueue());
    }

    bool settle(std::size_t count) {
        driver_.pump();
        return log_.awaitCount(count, driver_.patience());
    }

    // The one completion of a request, checked for what every completion owes.
    Outcome onlyOutcome(int key) {
        const auto outcomes = log_.of(key);
        EXPECT_EQ(outcomes.size(), 1u) << "completions of request " << key;
        if (outcomes.empty()) return {};
        EXPECT_TRUE(outcomes.front().onGlobalQueue) << "request " << key;
        EXPECT_FALSE(outcomes.front().duringSend) << "request " << key;
        return outcomes.front();
    }

    // Declared first so it outlives the client and the dispatcher that run its completions.
    OutcomeLog log_;
    Driver driver_;
};

TYPED_TEST_SUITE_P(HttpContract);

TYPED_TEST_P(HttpContract, ExchangesArriveIntactAndTheirRepliesComeBack) {
    const std::string binary("\0\xff&=+ %\xc3\xa9\r\n", 11);
    const struct {
        std::string method, path, header, value, body;
        int status;
        std::string reply;
        std::size_t maxReplyBytes = kDefaultMaxReplyBytes;
    } cases[] = {
        {"GET", "/echo", "X-Fenk-Probe", "42", "", 200, "echo:"},
        {"POST", "/echo", "Content-Type", "application/x-www-form-urlencoded", binary, 200, "echo:" + binary},
        {"POST", "/missing", "async", "true", "a=b", 404, "missing"},
        {"GET", "/kilobyte", "Accept", "*/*", "", 200, std::string(1024, 'k'), 1024},
    };
    int key = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.method + " " + c.path);
        auto request = makeRequest(c.method, this->driver_.url(c.path), c.body, 60s, c.maxReplyBytes);
        request.headers = {{c.header, c.value}};
        this->send(std::move(request), key);
        ASSERT_TRUE(this->settle(static_cast<std::size_t>(key + 1)));
        auto served = this->driver_.lastServed();
        EXPECT_EQ(served.method, c.method);
        EXPECT_EQ(served.path, c.path);
        EXPECT_EQ(served.headers[c.header], c.value);
        EXPECT_EQ(served.body, c.body);
        const auto outcome = this->onlyOutcome(key++);
        EXPECT_EQ(outcome.body, c.reply);
        ASSERT_TRUE(outcome.response.has_value());
        EXPECT_EQ(outcome.response->statusCode, c.status);
        EXPECT_FALSE(outcome.error.has_value()) << outcome.error->message;
    }
}

// Whatever part of a reply arrived stays behind: a cut reply can still hold a whole JSON object.
TYPED_TEST_P(HttpContract, FailedExchangesGiveAnErrorAndNoBody) {
    const struct {
        const char* name;
        std::string url;
        std::chrono::milliseconds timeout = 60s;
        std::size_t maxReplyBytes = kDefaultMaxReplyBytes;
        bool answered = true;  // a status line arrived before the failure
    } cases[] = {
        {"refused connection", this->driver_.refusedUrl(), 60s, kDefaultMaxReplyBytes, false},
        // The server holds the reply until the driver goes, so only the time-out can end the exchange.
        {"server slower than the time-out", this->driver_.url("/slow"), 50ms, kDefaultMaxReplyBytes, false},
        {"reply cut short", this->driver_.url("/cut")},
        {"reply one byte past the limit", this->driver_.url("/kilobyte"), 60s, 1023},
        {"reply past a tiny limit", this->driver_.url("/kilobyte"), 60s, 1},
    };
    int key = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        this->send(makeRequest("GET", c.url, {}, c.timeout, c.maxReplyBytes), key);
        ASSERT_TRUE(this->settle(static_cast<std::size_t>(key + 1)));
        const auto outcome = this->onlyOutcome(key++);
        ASSERT_TRUE(outcome.error.has_value());
        EXPECT_FALSE(outcome.error->message.empty());
        EXPECT_FALSE(outcome.body.has_value()) << *outcome.body;
        EXPECT_EQ(outcome.response.has_value(), c.answered);
    }
}

// Both the requests the server is working on and one that may not have left yet.
TYPED_TEST_P(HttpContract, RequestsInFlightCompleteWithAnErrorWhenTheClientIsDestroyed) {
    constexpr int kServed = 3;
    for (int key = 0; key < kServed; ++key) this->send(makeRequest("GET", this->driver_.url("/slow")), key);
    this->driver_.awaitServed(kServed);
    this->send(makeRequest("GET", this->driver_.url("/slow")), kServed);
    this->driver_.destroyHttp();
    ASSERT_TRUE(this->settle(kServed + 1));
    for (int key = 0; key <= kServed; ++key) EXPECT_TRUE(this->onlyOutcome(key).error.has_value());
}

TYPED_TEST_P(HttpContract, ConcurrentRequestsFromSeveralThreadsAllComplete) {
    constexpr int kThreads = 4;
    constexpr int kRequestsEach = 25;
    const auto bodyOf = [](int key) { return "request " + std::to_string(key); };
    {
        std::vector<std::jthread> senders;
        for (int thread = 0; thread < kThreads; ++thread) {
            senders.emplace_back([&, thread] {
                for (int key = thread * kRequestsEach; key < (thread + 1) * kRequestsEach; ++key) {
                    this->send(makeRequest("POST", this->driver_.url("/echo"), bodyOf(key)), key);
                }
            });
        }
    }
    ASSERT_TRUE(this->settle(kThreads * kRequestsEach));
    for (int key = 0; key < kThreads * kRequestsEach; ++key) {
        EXPECT_EQ(this->onlyOutcome(key).body, "echo:" + bodyOf(key));
    }
}

REGISTER_TYPED_TEST_SUITE_P(HttpContract, ExchangesArriveIntactAndTheirRepliesComeBack,
                            FailedExchangesGiveAnErrorAndNoBody,
                            RequestsInFlightCompleteWithAnErrorWhenTheClientIsDestroyed,
                            ConcurrentRequestsFromSeveralThreadsAllComplete);

}  // namespace fenk::contract
