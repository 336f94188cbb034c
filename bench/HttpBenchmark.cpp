// Time per request pair (an authentication-sized GET, then a service-sized form POST) through the libcurl
// adapter over loopback. Its cost against bare libcurl is PlatformClientBenchmark's ClientToBareRatio.
#include "adapters/linux/CurlHttp.h"
#include "adapters/linux/ThreadDispatcher.h"

#include <benchmark/benchmark.h>
#include <httplib.h>

#include <future>
#include <memory>
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
    for (auto _ : state) {
        exchange(http, auth);
        exchange(http, exec);
    }
}
BENCHMARK(BM_CurlHttpPair)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace fenk
