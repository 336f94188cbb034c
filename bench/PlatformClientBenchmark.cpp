// Time per authentication-plus-service pair (authenticate with the refresh token, then fetch the user) against
// fenk-platform on loopback:
//   - BareReusedHandle: plain libcurl, one easy handle reused for both requests: the floor;
//   - Client: the SDK's client as it ships (transport, service catalogue, CurlHttp, real threads), which keeps
//     its connection alive;
//   - FreshHandleEachRequest: plain libcurl with a new easy handle, hence a new connection, per request;
//   - ClientToBareRatio: the client against the floor (target: at most 1.5).
// The first three report "connectionsPer1000": new TCP connections per 1,000 requests once warmed up (target
// for the client: at most 1).
#include "FenkSDK/api/AuthenticationRequest.h"
#include "FenkSDK/api/ServiceCatalogue.h"
#include "adapters/linux/CurlHttp.h"
#include "adapters/linux/ThreadDispatcher.h"
#include "tests/support/SamplePlatform.h"
#include "tests/support/TemporaryFolder.h"
#include "tools/fenk-platform/PlatformServer.h"

#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <future>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>

namespace fenk {
namespace {

constexpr std::string_view kAppKey = "sample-app-key";

// One easy handle; every request on it may reuse its connection.
class EasyHandle {
public:
    EasyHandle() : handle_(curl_easy_init()) {
        curl_easy_setopt(handle_.get(), CURLOPT_TCP_NODELAY, 1L);
        curl_easy_setopt(handle_.get(), CURLOPT_WRITEFUNCTION, &EasyHandle::append);
    }

    std::string get(const std::string& url) { return perform(url, nullptr); }
    std::string post(const std::string& url, const std::string& form) { return perform(url, &form); }

private:
    static std::size_t append(char* bytes, std::size_t size, std::size_t count, void* body) {
        static_cast<std::string*>(body)->append(bytes, size * count);
        return size * count;
    }

    std::string perform(const std::string& url, const std::string* form) {
        std::string body;
        curl_easy_setopt(handle_.get(), CURLOPT_URL, url.c_str());
        curl_easy_setopt(handle_.get(), CURLOPT_WRITEDATA, &body);
        if (form) {
            curl_easy_setopt(handle_.get(), CURLOPT_POSTFIELDS, form->c_str());
        } else {
            curl_easy_setopt(handle_.get(), CURLOPT_HTTPGET, 1L);
        }
        if (curl_easy_perform(handle_.get()) != CURLE_OK) throw std::runtime_error("request failed: " + url);
        return body;
    }

    struct Cleanup {
        void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
    };
    std::unique_ptr<CURL, Cleanup> handle_;
};

std::string tokenOf(const std::string& authenticationReply) {
    const auto reply = json::decode<FG_AuthenticateBean>(authenticationReply);
    if (!reply || !reply->authenticate || !reply->authenticate->token) throw std::runtime_error("no token");
    return *reply->authenticate->token;
}

// The platform with one registered user, and the client talking to it.
class Bench {
public:
    static Bench& shared() {
        static Bench bench;
        return bench;
    }

    std::string authenticationUrl() const {
        return platform_->address() + "/1.0/json/auth/user?api=soa.api.fenk&apikey=" + std::string(kAppKey) +
               "&refreshToken=" + refreshToken_;
    }
    std::string infoUrl(const std::string& token) const {
        return platform_->address() + "/1.0/json/exec/soa.api.fenk/soa.api.user.info/" + resourceId_ +
               "?token=" + token;
    }

    // One pair through the SDK's client; false when either reply failed.
    bool clientPair() {
        std::promise<std::optional<FG_SoaApiUser_InfoParametersOut>> done;
        requestAuthentication(transport_, {.platform = platform_->address(), .version = "1.0"}, kAppKey, refreshToken_,
                              [this, &done](FG_Authenticate record, std::optional<FG_AuthenticateBean>) {
                                  FG_SoaApiUser_InfoService(transport_)
                                      .call(FG_SoaApiUser_InfoParametersIn{.i_resourceId = resourceId_}, record,
                                            [&done](auto reply) { done.set_value(std::move(reply)); });
                              });
        const auto reply = done.get_future().get();
        return reply && reply->response == "OK";
    }

    void forgetRequests() { platform_->requestLog().clear(); }

    double connectionsPer1000Requests() const {
        const std::vector<RecordedRequest> requests = platform_->requestLog().requests();
        std::set<std::int64_t> connections;
        for (const RecordedRequest& request : requests) connections.insert(request.connection);
        return requests.empty()
                   ? 0
                   : 1000.0 * static_cast<double>(connections.size()) / static_cast<double>(requests.size());
    }

private:
    Bench() {
        EasyHandle handle;
        const std::string token = tokenOf(
            handle.get(platform_->address() + "/1.0/json/auth/user?api=soa.api.fenk&apikey=" + std::string(kAppKey)));
        const auto created = json::decode<FG_SoaApiUser_CreateAnonymousParametersOut>(handle.post(
            platform_->address() + "/1.0/json/exec/soa.api.fenk/soa.api.user.create-anonymous", "token=" + token));
        if (!created || !created->data) throw std::runtime_error("cannot create the user");
        resourceId_ = created->data->resourceId.value_or("");
        refreshToken_ = created->data->refreshToken.value_or("");
    }

    TemporaryFolder folder_;  // first: the platform's database lives in it until the platform has stopped
    std::unique_ptr<PlatformServer> platform_ = startSamplePlatform(folder_.path());
    std::string resourceId_;
    std::string refreshToken_;
    std::shared_ptr<ThreadDispatcher> dispatcher_ = std::make_shared<ThreadDispatcher>();
    std::shared_ptr<CurlHttp> http_ = std::make_shared<CurlHttp>(dispatcher_);
    PlatformTransport transport_{http_, dispatcher_};
};

void reportPairs(benchmark::State& state, Bench& bench) {
    state.SetItemsProcessed(state.iterations());
    state.counters["connectionsPer1000"] = bench.connectionsPer1000Requests();
}

// A bare pair on a handle whose connection is open.
std::string barePair(Bench& bench, EasyHandle& handle) {
    return handle.get(bench.infoUrl(tokenOf(handle.get(bench.authenticationUrl()))));
}

void BareReusedHandle(benchmark::State& state) {
    Bench& bench = Bench::shared();
    EasyHandle handle;
    barePair(bench, handle);
    bench.forgetRequests();
    for (auto _ : state) benchmark::DoNotOptimize(barePair(bench, handle));
    reportPairs(state, bench);
}

void Client(benchmark::State& state) {
    Bench& bench = Bench::shared();
    if (!bench.clientPair()) state.SkipWithError("the platform did not answer");
    bench.forgetRequests();
    for (auto _ : state) {
        if (!bench.clientPair()) state.SkipWithError("a pair failed");
    }
    reportPairs(state, bench);
}

void FreshHandleEachRequest(benchmark::State& state) {
    Bench& bench = Bench::shared();
    bench.forgetRequests();
    for (auto _ : state) {
        const std::string token = tokenOf(EasyHandle().get(bench.authenticationUrl()));
        benchmark::DoNotOptimize(EasyHandle().get(bench.infoUrl(token)));
    }
    reportPairs(state, bench);
}

// A client pair and a bare pair in turn, so that both meet the same load on a shared machine: "ratio" is the
// client's time over the bare time (target: at most 1.5).
void ClientToBareRatio(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    Bench& bench = Bench::shared();
    EasyHandle handle;
    barePair(bench, handle);
    Clock::duration client{};
    Clock::duration bare{};
    for (auto _ : state) {
        const auto start = Clock::now();
        if (!bench.clientPair()) state.SkipWithError("a pair failed");
        const auto middle = Clock::now();
        benchmark::DoNotOptimize(barePair(bench, handle));
        client += middle - start;
        bare += Clock::now() - middle;
    }
    state.counters["ratio"] = std::chrono::duration<double>(client) / std::chrono::duration<double>(bare);
}

BENCHMARK(BareReusedHandle)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(Client)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(FreshHandleEachRequest)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(ClientToBareRatio)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
}  // namespace fenk
