#include "adapters/fake/FakeDispatcher.h"
#include "adapters/fake/FakeHttp.h"
#include "contract/HttpContract.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
        return {request.method, pathOf(request.url), request.headers, request.body};
    }
    void awaitServed(std::size_t) const {}  // a request reaches the fake as it is sent
    DispatchQueue& globalQueue() { return *dispatcher->globalQueue(); }
    void pump() { dispatcher->advance(2min); }
    Duration patience() const { return Duration::zero(); }

    std::shared_ptr<FakeDispatcher> dispatcher = std::make_shared<FakeDispatcher>();
    std::shared_ptr<FakeHttp> fake = std::make_shared<FakeHttp>(dispatcher);
};

struct Received {
    std::optional<std::string> body;
    std::optional<int> status;
    bool failed = false;
};

class FakeHttpScripting : public ::testing::Test {
protected:
    // Sends a request whose completion fills the slot of the given index.
    void send(std::size_t index, std::chrono::seconds timeout = 60s) {
        http->send(contract::makeRequest("GET", "http://server.test/" + std::to_string(index), {}, timeout),
                   [this, index](auto body, auto response, auto error) {
                       auto& slot = received[index];
                       if (body) slot.body = std::string(asText(*body));
                       if (response) slot.status = response->statusCode;
                       slot.failed = error.has_value();
                       ++completions;
                   });
    }

    std::shared_ptr<FakeDispatcher> dispatcher = std::make_shared<FakeDispatcher>();
    std::shared_ptr<FakeHttp> http = std::make_shared<FakeHttp>(dispatcher);
    std::vector<Received> received = std::vector<Received>(3);
    int completions = 0;
};

TEST_F(FakeHttpScripting, AnswersEachRequestWhenAndHowTheTestSays) {
    for (std::size_t index = 0; index < 3; ++index) send(index);
    EXPECT_TRUE(http->reply(1, FakeHttpReply::garbage()));
    EXPECT_FALSE(http->reply(1, FakeHttpReply::text("twice")));
    EXPECT_TRUE(http->reply("{}", 201));  // the oldest unanswered: index 0
    EXPECT_TRUE(http->replyNoBody());     // then index 2
    EXPECT_FALSE(http->replyNoBody());
    EXPECT_EQ(completions, 0) << "completions wait for the dispatcher";

    dispatcher->runUntilIdle();
    EXPECT_EQ(received[0].body, "{}");
    EXPECT_EQ(received[0].status, 201);
    EXPECT_TRUE(received[1].body.has_value() && received[1].body->starts_with("<html>"));
    EXPECT_FALSE(received[1].failed);
    EXPECT_TRUE(received[2].failed);
    EXPECT_FALSE(received[2].body || received[2].status);
    EXPECT_EQ(http->requests().size(), 3u);
}

TEST_F(FakeHttpScripting, DelayedRepliesArriveOnTimeUnlessTheTimeOutComesFirst) {
    send(0, 5s);
    send(1, 5s);
    auto prompt = FakeHttpReply::text("prompt");
    prompt.delay = 3s;
    auto late = FakeHttpReply::text("late");
    late.delay = 10s;
    http->reply(std::move(prompt));
    http->reply(std::move(late));

    dispatcher->advance(2s);
    EXPECT_EQ(completions, 0);
    dispatcher->advance(3s);
    EXPECT_EQ(received[0].body, "prompt");
    EXPECT_TRUE(received[1].failed);
    EXPECT_FALSE(received[1].body.has_value());
    dispatcher->advance(1min);
    EXPECT_EQ(completions, 2);
}

}  // namespace

namespace contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, HttpContract, FakeHttpDriver);
}  // namespace contract
}  // namespace fenk
