// Time per request pair (an authentication-sized GET, then a service-sized form POST) over loopback:
// the libcurl adapter against a bare libcurl loop on one reused easy handle. The adapter's extra cost is
// its thread hand-offs; the target is to stay within 1.5 times the bare loop ("vs_bare").
#include "adapters/linux/CurlHttp.h"
#include "adapters/linux/ThreadDispatcher.h"

#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <httplib.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>

namespace fenk {
namespace {

const std::string kReply = R"({"response":"OK","messageCode":"0","message":"","type":"user","data":{"id":"42"}})";
const std::string kForm = "i_resourceId=8f0c2a&i_name=Caf%C3%A9+central&token=abcdefghijklmnopqrstuvwxyz012345";

class BenchmarkServer {
public:
    BenchmarkServer() {
        server_.set_tcp_nodelay(true);
        server_.set_keep_alive_max_count(1'000'000);
        const auto reply = [](const httplib::Request&, httplib::Response& response) {
            response.set_content(kReply, "application/json");
        };
        server_.Get("/auth", reply);
        server_.Post("/exec", reply);
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
    }
    ~BenchmarkServer() {
        server_.stop();
        thread_.join();
    }

    std::string url(const char* path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }

private:
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
};

// Seconds per pair measured by the bare loop, for the adapter's ratio; zero until it ran.
double bareSecondsPerPair = 0;

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_BareCurlPair(benchmark::State& state) {
    BenchmarkServer server;
    const auto authUrl = server.url("/auth");
    const auto execUrl = server.url("/exec");
    CURL* const easy = curl_easy_init();
    std::string body;
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_TCP_NODELAY, 1L);
    curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, 60'000L);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, +[](char* bytes, std::size_t size, std::size_t count, void* out) {
        static_cast<std::string*>(out)->append(bytes, size * count);
        return size * count;
    });
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        body.clear();
        curl_easy_setopt(easy, CURLOPT_URL, authUrl.c_str());
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
        curl_easy_perform(easy);
        curl_easy_setopt(easy, CURLOPT_URL, execUrl.c_str());
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, kForm.c_str());
        curl_easy_perform(easy);
        benchmark::DoNotOptimize(body.data());
    }
    bareSecondsPerPair = secondsSince(start) / static_cast<double>(state.iterations());
    curl_easy_cleanup(easy);
}
BENCHMARK(BM_BareCurlPair)->UseRealTime()->Unit(benchmark::kMicrosecond);

// Sends one request and waits for its completion.
void exchange(Http& http, HttpRequest request) {
    std::promise<void> done;
    http.send(std::move(request), [&done](auto body, auto, auto) {
        benchmark::DoNotOptimize(body);
        done.set_value();
    });
    done.get_future().wait();
}

void BM_CurlHttpPair(benchmark::State& state) {
    BenchmarkServer server;
    auto dispatcher = std::make_shared<ThreadDispatcher>();
    CurlHttp http(dispatcher);
    HttpRequest auth;
    auth.method = "GET";
    auth.url = server.url("/auth");
    HttpRequest exec;
    exec.method = "POST";
    exec.url = server.url("/exec");
    exec.headers = {{"Content-Type", "application/x-www-form-urlencoded"}};
    exec.body = toData(kForm);
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        exchange(http, auth);
        exchange(http, exec);
    }
    const auto secondsPerPair = secondsSince(start) / static_cast<double>(state.iterations());
    if (bareSecondsPerPair > 0) state.counters["vs_bare"] = secondsPerPair / bareSecondsPerPair;
}
BENCHMARK(BM_CurlHttpPair)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace fenk
