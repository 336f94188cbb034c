#include "adapters/linux/CurlHttp.h"
#include "adapters/linux/ThreadDispatcher.h"
#include "contract/HttpContract.h"
#include "support/HostileReplies.h"
#include "support/LoopbackPorts.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>

using namespace std::chrono_literals;

namespace fenk {
namespace {

// Plays the contract's test server on 127.0.0.1 with cpp-httplib, counting the connections it served.
class CurlHttpDriver {
public:
    CurlHttpDriver() {
        server_.set_tcp_nodelay(true);
        server_.set_keep_alive_max_count(1'000);
        route("/echo", [](const auto& request, auto& response) {
            response.set_content("echo:" + request.body, "application/octet-stream");
        });
        route("/missing", [](const auto&, auto& response) {
            response.status = 404;
            response.set_content("missing", "text/plain");
        });
        route("/kilobyte", [](const auto&, auto& response) {
            response.set_content(std::string(1024, 'k'), "application/octet-stream");
        });
        route("/cut", [](const auto&, auto& response) {
            response.set_content_provider(4096, "application/json", [](std::size_t, std::size_t, httplib::DataSink& sink) {
                const std::string_view whole = R"({"resourceId":"R"})";
                sink.write(whole.data(), whole.size());
                return false;  // closes the connection short of the length announced
            });
        });
        route("/slow", [this](const auto&, auto& response) {
            std::unique_lock lock(mutex_);
            changed_.wait_for(lock, 30s, [this] { return stopping_; });
            response.set_content("too late", "text/plain");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
    }

    ~CurlHttpDriver() {
        client_.reset();  // closes its kept-alive connections, which would hold the server's workers
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
            changed_.notify_all();
        }
        server_.stop();
        thread_.join();
    }

    std::shared_ptr<Http> http() { return client_; }
    void destroyHttp() { client_.reset(); }
    std::string url(std::string_view path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
    }
    std::string refusedUrl() const { return refusing_.url; }
    DispatchQueue& globalQueue() { return *global_; }
    void pump() {}
    Duration patience() const { return 20s; }

    contract::ServedRequest lastServed() const {
        std::lock_guard lock(mutex_);
        return lastServed_;
    }
    void awaitServed(std::size_t count) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, patience(), [&] { return served_ >= count; });
    }
    std::size_t connectionsServed() const {
        std::lock_guard lock(mutex_);
        return clientPorts_.size();
    }

private:
    void route(const std::string& path, httplib::Server::Handler handler) {
        const auto recording = [this, handler](const httplib::Request& request, httplib::Response& response) {
            {
                std::lock_guard lock(mutex_);
                lastServed_ = {request.method, request.path, {request.headers.begin(), request.headers.end()},
                               request.body};
                clientPorts_.insert(request.remote_port);
                ++served_;
                changed_.notify_all();
            }
            handler(request, response);
        };
        server_.Get(path, recording);
        server_.Post(path, recording);
    }

    httplib::Server server_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;  // a request arrived, or the slow ones may end
    bool stopping_ = false;
    std::size_t served_ = 0;
    contract::ServedRequest lastServed_;
    std::set<int> clientPorts_;
    int port_ = 0;
    std::thread thread_;
    RefusingPort refusing_;
    std::shared_ptr<ThreadDispatcher> dispatcher_ = std::make_shared<ThreadDispatcher>();
    std::shared_ptr<DispatchQueue> global_ = dispatcher_->globalQueue();
    std::shared_ptr<CurlHttp> client_ = std::make_shared<CurlHttp>(dispatcher_);
};

TEST(CurlHttp, SequentialRequestsShareOneConnection) {
    contract::OutcomeLog log;
    CurlHttpDriver driver;
    constexpr int kRequests = 100;
    for (int key = 0; key < kRequests; ++key) {
        const char* method = key % 2 == 0 ? "GET" : "POST";
        log.send(*driver.http(), contract::makeRequest(method, driver.url("/echo")), key, driver.globalQueue());
        ASSERT_TRUE(log.awaitCount(static_cast<std::size_t>(key + 1), driver.patience()));
    }
    EXPECT_EQ(driver.connectionsServed(), 1u);
}

// Framing no well-behaved server sends: whatever arrived of a reply cut short or grown past its limit
// stays behind, even when it reads as a whole JSON object.
TEST(CurlHttp, HostileRepliesFailWithoutABody) {
    constexpr std::string_view kWhole = R"({"resourceId":"R"})";  // 0x12 bytes
    constexpr std::size_t kPastTheLimit = 8 * kDefaultMaxReplyBytes;
    const std::string chunked = RawReplyServer::head("Transfer-Encoding: chunked\r\n");
    const struct {
        const char* name;
        RawReplyServer::Writer writer;
        std::optional<std::size_t> bodySize;  // what a reply that is no fault must hand back
    } cases[] = {
        {"Content-Length beyond the body",
         fixedReply(RawReplyServer::head("Content-Length: 100\r\n") + std::string(kWhole)), std::nullopt},
        {"chunk cut in its middle", fixedReply(chunked + "12\r\n" + std::string(kWhole) + "\r\n20\r\n{"),
         std::nullopt},
        {"chunked body without its last chunk", fixedReply(chunked + "12\r\n" + std::string(kWhole) + "\r\n"),
         std::nullopt},
        {"Content-Length past the limit",
         fixedReply(RawReplyServer::head("Content-Length: " + std::to_string(kDefaultMaxReplyBytes + 1) + "\r\n")),
         std::nullopt},
        {"endless body", endlessBody(kPastTheLimit), std::nullopt},
        {"gzip bomb", replyWithBody("Content-Encoding: gzip\r\n", gzippedSpaces(kPastTheLimit)), std::nullopt},
        {"gzip within the limit", replyWithBody("Content-Encoding: gzip\r\n", gzippedSpaces(1000)), 1000},
    };
    contract::OutcomeLog log;
    CurlHttpDriver driver;
    int key = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const RawReplyServer server(c.writer);
        log.send(*driver.http(), contract::makeRequest("GET", server.url("/")), key, driver.globalQueue());
        ASSERT_TRUE(log.awaitCount(static_cast<std::size_t>(key + 1), driver.patience()));
        const auto outcome = log.of(key++).front();
        if (c.bodySize) {
            ASSERT_TRUE(outcome.body.has_value()) << (outcome.error ? outcome.error->message : "");
            EXPECT_EQ(outcome.body->size(), *c.bodySize);
            continue;
        }
        EXPECT_FALSE(outcome.body.has_value()) << outcome.body->substr(0, 100);
        ASSERT_TRUE(outcome.error.has_value());
        EXPECT_FALSE(outcome.error->message.empty());
    }
}

}  // namespace

namespace contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Curl, HttpContract, CurlHttpDriver);
}  // namespace contract
}  // namespace fenk
