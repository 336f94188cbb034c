#include "tools/fenk-platform/PlatformServer.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <future>
#include <limits>
#include <map>
#include <thread>
#include <utility>

#include <httplib.h>

#include "tools/fenk-platform/ConnectionTaskQueue.h"
#include "tools/fenk-platform/PlatformCatalogue.h"
#include "tools/fenk-platform/PlatformMedia.h"
#include "tools/fenk-platform/PlatformPages.h"
#include "tools/fenk-platform/PlatformServices.h"
#include "tools/fenk-platform/PlatformStore.h"
#include "tools/fenk-platform/UrlEncoding.h"

namespace fenk {
namespace {

constexpr std::size_t kWorkers = 8;
constexpr time_t kKeepAliveSeconds = 5;
constexpr std::string_view kControlPrefix = "/_fenk/";
constexpr std::string_view kMediaPrefix = "/media/";
constexpr std::string_view kPagesPrefix = "/pages/";
// Where the sample seed's legal links point: the summary, the full terms and the update notice.
constexpr std::string_view kLegalPrefix = "/legal/";
const std::string kJson = "application/json; charset=utf-8";
constexpr std::size_t kFillerChunk = 64 * 1024;
constexpr std::string_view kOk = R"({"response":"OK"})";
constexpr std::string_view kGarbage = "<html><body>502 Bad Gateway</body></html>";

// What the HTTP server files among the headers although no client sent it.
constexpr std::array<std::string_view, 4> kServerNotes{"local_addr", "local_port", "remote_addr", "remote_port"};

std::string lowerCase(std::string text) {
    std::ranges::transform(text, text.begin(), [](unsigned char character) { return std::tolower(character); });
    return text;
}

std::string_view queryOf(std::string_view target) {
    const std::size_t question = target.find('?');
    return question == std::string_view::npos ? std::string_view{} : target.substr(question + 1);
}

bool isForm(const httplib::Request& request) {
    return request.method == "POST" &&
           request.get_header_value("Content-Type").starts_with("application/x-www-form-urlencoded");
}

// A repeated name keeps its last value, the one the services read.
std::map<std::string, std::string> lastValues(const NameValueList& pairs) {
    std::map<std::string, std::string> values;
    for (const auto& [name, value] : pairs) values.insert_or_assign(name, value);
    return values;
}

RecordedRequest record(const httplib::Request& request, const NameValueList& query, const NameValueList& form) {
    RecordedRequest recorded{.connection = ConnectionTaskQueue::current(),
                             .method = request.method,
                             .target = request.target,
                             .path = request.path,
                             .query = lastValues(query),
                             .form = lastValues(form)};
    for (const auto& [name, value] : request.headers) {
        std::string lowerName = lowerCase(name);
        if (std::ranges::find(kServerNotes, lowerName) == kServerNotes.end()) {
            recorded.headers.insert_or_assign(std::move(lowerName), value);
        }
    }
    return recorded;
}

void reply(httplib::Response& response, int status, std::string_view body) {
    response.status = status;
    response.set_content(body.data(), body.size(), kJson);
}

void serveMedia(httplib::Response& response, std::string_view name) {
    std::optional<MediaFile> file = mediaFile(name);
    if (!file) return reply(response, kNotFound, PlatformServices::refusal("NOT_FOUND", "no such media file"));
    if (file->size == file->head.size()) return response.set_content(std::move(file->head), file->contentType);
    // Large files are written piece by piece rather than held whole.
    response.set_content_provider(
        file->size, file->contentType,
        [head = std::move(file->head)](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
            if (offset < head.size()) return sink.write(head.data() + offset, std::min(length, head.size() - offset));
            const std::string zeros(std::min(length, kFillerChunk), '\0');
            return sink.write(zeros.data(), zeros.size());
        });
}

}  // namespace

class PlatformServer::Impl {
public:
    Impl(PlatformSeed seed, std::string gazetteer, std::unique_ptr<PlatformStore> store)
        : catalogue_(std::move(seed), std::move(gazetteer)), store_(std::move(store)), services_(catalogue_, *store_) {
        server_.set_tcp_nodelay(true);
        server_.set_keep_alive_max_count(std::numeric_limits<std::size_t>::max());
        server_.set_keep_alive_timeout(kKeepAliveSeconds);
        const auto handler = [this](const httplib::Request& request, httplib::Response& response) {
            handle(request, response);
        };
        server_.Get(".*", handler).Post(".*", handler).Delete(".*", handler);
    }

    bool listen(const std::string& host, int port, std::string& error) {
        port_ = port == 0 ? server_.bind_to_any_port(host) : (server_.bind_to_port(host, port) ? port : -1);
        if (port_ < 0) {
            error = "cannot listen on " + host + ":" + std::to_string(port);
            return false;
        }
        host_ = host;
        catalogue_.expandPlatformAddress(address());
        // The server asks for its worker pool once it counts as running; from then on stop() reaches it.
        auto running = std::make_shared<std::promise<void>>();
        std::future<void> runningNow = running->get_future();
        server_.new_task_queue = [running] {
            running->set_value();
            return std::make_unique<ConnectionTaskQueue>(kWorkers).release();  // the server owns it
        };
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        runningNow.wait();
        return true;
    }

    void stop() {
        if (!thread_.joinable()) return;
        faults_.interrupt();
        server_.stop();
        thread_.join();
    }

    int port() const { return port_; }
    std::string address() const { return "http://" + host_ + ":" + std::to_string(port_); }
    RequestLog& requestLog() { return requestLog_; }
    FaultInjector& faults() { return faults_; }
    PlatformStore& store() { return *store_; }

private:
    void handle(const httplib::Request& request, httplib::Response& response) {
        if (request.path.starts_with(kControlPrefix)) {
            control(request, response);
            return;
        }
        const NameValueList query = parseUrlEncoded(queryOf(request.target));
        const NameValueList form = isForm(request) ? parseUrlEncoded(request.body) : NameValueList{};
        requestLog_.add(record(request, query, form));
        if (const std::optional<Fault> fault = faults_.take(request.path); fault && spoil(*fault, response)) return;
        const std::string_view path = request.path;
        if (request.method == "GET" && path.starts_with(kMediaPrefix)) {
            return serveMedia(response, path.substr(kMediaPrefix.size()));
        }
        if (request.method == "GET" && (path.starts_with(kPagesPrefix) || path.starts_with(kLegalPrefix))) {
            response.set_content(linkPage(path.substr(path.find('/', 1) + 1)), "text/html; charset=utf-8");
            return;
        }
        const PlatformReply answer =
            services_.answer(request.method, request.path, request.method == "GET" ? query : form);
        reply(response, answer.status, answer.body);
    }

    // Answers in the fault's place; false when the fault only holds the real reply back.
    bool spoil(const Fault& fault, httplib::Response& response) {
        switch (fault.kind) {
            case Fault::Kind::status:
                response.status = fault.status;
                return true;
            case Fault::Kind::garbage:
                reply(response, 200, kGarbage);
                return true;
            case Fault::Kind::error:
                reply(response, 200, PlatformServices::refusal("INJECTED_FAULT", "a test asked for this error"));
                return true;
            case Fault::Kind::delay:
                faults_.wait(fault.delay);
                return false;
            case Fault::Kind::drop:
                // Promises one byte of body and fails to produce it: the server closes the connection.
                response.set_content_provider(1, kJson,
                                              [](std::size_t, std::size_t, httplib::DataSink&) { return false; });
                return true;
        }
        return false;
    }

    void control(const httplib::Request& request, httplib::Response& response) {
        const std::string_view what = std::string_view(request.path).substr(kControlPrefix.size());
        if (what == "requests" && request.method == "GET") {
            const std::optional<std::string> list = json::encode(requestLog_.requests());
            if (!list) {
                return reply(response, kInternalError,
                             PlatformServices::refusal("INVALID_TEXT", "a request held text that is not UTF-8"));
            }
            return reply(response, 200, *list);
        }
        if (what == "requests" && request.method == "DELETE") {
            requestLog_.clear();
            return reply(response, 200, kOk);
        }
        if (what == "faults" && request.method == "POST") {
            std::string error;
            const std::optional<FaultOrder> order = parseFaultOrder(request.body, error);
            if (!order) return reply(response, kBadRequest, PlatformServices::refusal("INVALID_FAULT", error));
            faults_.arm(*order);
            return reply(response, 200, kOk);
        }
        if (what == "faults" && request.method == "DELETE") {
            faults_.clear();
            return reply(response, 200, kOk);
        }
        if (what == "locations" && request.method == "GET") {
            const NameValueList query = parseUrlEncoded(queryOf(request.target));
            const std::optional<std::string> list =
                json::encode(store_->locationsOf(lastValue(query, "resourceId").value_or("")));
            if (!list) {
                return reply(response, kInternalError,
                             PlatformServices::refusal("INVALID_TEXT", "a position held text that is not UTF-8"));
            }
            return reply(response, 200, *list);
        }
        reply(response, kNotFound, PlatformServices::refusal("NOT_FOUND", "no such control path"));
    }

    PlatformCatalogue catalogue_;
    std::unique_ptr<PlatformStore> store_;
    PlatformServices services_;
    RequestLog requestLog_;
    FaultInjector faults_;
    httplib::Server server_;
    std::string host_;
    int port_ = -1;
    std::thread thread_;
};

std::unique_ptr<PlatformServer> PlatformServer::start(const PlatformOptions& options, std::string& error) {
    std::optional<PlatformSeed> seed = loadPlatformSeed(options.seed, error);
    if (!seed) return nullptr;
    std::unique_ptr<PlatformStore> store;
    try {
        store = std::make_unique<PlatformStore>(options.database);
    } catch (const SqliteError& failure) {
        error = failure.what();
        return nullptr;
    }
    auto server = std::make_unique<PlatformServer>(PassKey{}, std::move(*seed), options.gazetteer, std::move(store));
    if (!server->impl_->listen(options.host, options.port, error)) return nullptr;
    return server;
}

PlatformServer::PlatformServer(PassKey, PlatformSeed seed, std::string gazetteer, std::unique_ptr<PlatformStore> store)
    : impl_(std::make_unique<Impl>(std::move(seed), std::move(gazetteer), std::move(store))) {}

PlatformServer::~PlatformServer() { stop(); }

int PlatformServer::port() const { return impl_->port(); }

std::string PlatformServer::address() const { return impl_->address(); }

void PlatformServer::stop() { impl_->stop(); }

RequestLog& PlatformServer::requestLog() { return impl_->requestLog(); }

FaultInjector& PlatformServer::faults() { return impl_->faults(); }

std::vector<ReceivedLocation> PlatformServer::locationsOf(std::string_view resourceId) {
    return impl_->store().locationsOf(resourceId);
}

}  // namespace fenk
