#include "adapters/fake/FakeDispatcher.h"
#include "adapters/fake/FakeHttp.h"
#include "contract/HttpContract.h"

#include <gtest/gtest.h>

#include <string>

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
            if (path == "/kilobyte") return FakeHttpReply::text(std::string(1024, 'k'));
            if (path == "/cut") {
                auto cut = FakeHttpReply::text(R"({"resourceId":"R"})");
                cut.error = HttpError{"The connection closed before the whole reply arrived."};
                return cut;
            }
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

}  // namespace

namespace contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, HttpContract, FakeHttpDriver);
}  // namespace contract
}  // namespace fenk
