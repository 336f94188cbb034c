#include "adapters/fake/FakeDispatcher.h"
#include "adapters/fake/FakeHttp.h"
#include "contract/HttpContract.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

using namespace std::chrono_literals;

namespace fenk {
namespace {

constexpr std::string_view kServer = "http://server.test";
constexpr std::string_view kRefused = "http://refused.test/";

std::string pathOf(const std::string& url) { return url.substr(url.find('/', url.find("://") + 3)); }

// The contract's test server, played by the auto-reply handler.
struct FakeHttpDriver {
    FakeHttpDriver() {
        fake->setAutoReply([](const HttpRequest& request) -> std::optional<FakeHttpReply> {
            if (request.url.starts_with(kRefused)) return FakeHttpReply::noBody("Connection refused");
            const auto path = pathOf(request.url);
            if (path == "/echo") return FakeHttpReply::text("echo:" + std::string(asText(request.body)));
            if (path == "/missing") return FakeHttpReply::text("missing", 404);
            return std::nullopt;  // "/slow": left for its time-out
        });
    }

    std::shared_ptr<Http> http() { return fake; }
    void destroyHttp() { fake.reset(); }
    std::string url(std::string_view path) const { return std::string(kServer) + std::string(path); }
    std::string refusedUrl() const { return std::string(kRefused); }
    contract::ServedRequest lastServed() const {
        const auto request = fake->requests().back();
        return {request.method, pathOf(request.url), {request.headers.begin(), request.headers.end()},
                std::string(asText(request.body))};
    }
    void awaitServed(std::size_t) const {}  // a request reaches the fake as it is sent
    DispatchQueue& globalQueue() { return *dispatcher->globalQueue(); }
    void pump() { dispatcher->advance(2min); }
    Duration patience() const { return Duration::zero(); }

    std::shared_ptr<FakeDispatcher> dispatcher = std::make_shared<FakeDispatcher>();
    std::shared_ptr<FakeHttp> fake = std::make_shared<FakeHttp>(dispatcher);
};

class FakeHttpScripting : public ::testing::Test {
protected:
    void send(int key, std::chrono::seconds timeout = 60s) {
        log.send(*http, contract::makeRequest("GET", "http://server.test/", {}, timeout), key,
                 *dispatcher->globalQueue());
    }
    contract::Outcome outcome(int key) const { return log.of(key).at(0); }

    contract::OutcomeLog log;
    std::shared_ptr<FakeDispatcher> dispatcher = std::make_shared<FakeDispatcher>();
    std::shared_ptr<FakeHttp> http = std::make_shared<FakeHttp>(dispatcher);
};

TEST_F(FakeHttpScripting, AnswersEachRequestWhenAndHowTheTestSays) {
    for (int key = 0; key < 3; ++key) send(key);
    EXPECT_TRUE(http->reply(1, FakeHttpReply::garbage()));
    EXPECT_FALSE(http->reply(1, FakeHttpReply::text("twice")));
    EXPECT_TRUE(http->reply("{}", 201));  // the oldest unanswered: 0
    EXPECT_TRUE(http->replyNoBody());     // then 2
    EXPECT_FALSE(http->replyNoBody());
    EXPECT_FALSE(log.awaitCount(1, {})) << "completions wait for the dispatcher";

    dispatcher->runUntilIdle();
    EXPECT_EQ(outcome(0).body, "{}");
    EXPECT_EQ(outcome(0).response->statusCode, 201);
    EXPECT_TRUE(outcome(1).body->starts_with("<html>"));
    EXPECT_FALSE(outcome(1).error.has_value());
    EXPECT_TRUE(outcome(2).error.has_value());
    EXPECT_FALSE(outcome(2).body || outcome(2).response);
}

TEST_F(FakeHttpScripting, DelayedRepliesArriveOnTimeUnlessTheTimeOutComesFirst) {
    send(0, 5s);
    send(1, 5s);
    for (const auto& [body, delay] : {std::pair{"prompt", 3s}, std::pair{"late", 10s}}) {
        auto reply = FakeHttpReply::text(body);
        reply.delay = delay;
        http->reply(std::move(reply));
    }
    dispatcher->advance(2s);
    EXPECT_FALSE(log.awaitCount(1, {}));
    dispatcher->advance(3s);
    EXPECT_EQ(outcome(0).body, "prompt");
    EXPECT_TRUE(outcome(1).error.has_value());
    EXPECT_FALSE(outcome(1).body.has_value());
    dispatcher->advance(1min);
    EXPECT_EQ(log.of(1).size(), 1u);
}

}  // namespace

namespace contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, HttpContract, FakeHttpDriver);
}  // namespace contract
}  // namespace fenk
