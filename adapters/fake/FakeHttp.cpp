#include "adapters/fake/FakeHttp.h"

#include <mutex>
#include <string>
#include <utility>

namespace fenk {

struct FakeHttp::State {
    struct Exchange {
        HttpRequest request;
        Completion completion;  // empty once it has run
        bool answered = false;

        // Marks it as answered; false when it was answered or completed already. The caller holds the mutex.
        bool claim() {
            if (answered || !completion) return false;
            answered = true;
            return true;
        }
    };

    mutable std::mutex mutex;
    std::shared_ptr<DispatchQueue> queue;
    std::vector<Exchange> exchanges;
    AutoReply autoReply;

    bool claim(std::size_t index) {
        std::lock_guard lock(mutex);
        return index < exchanges.size() && exchanges[index].claim();
    }

    std::optional<std::size_t> claimOldest() {
        std::lock_guard lock(mutex);
        for (std::size_t index = 0; index < exchanges.size(); ++index) {
            if (exchanges[index].claim()) return index;
        }
        return std::nullopt;
    }

    // The completion, and the most body bytes its request takes.
    std::pair<Completion, std::size_t> takeCompletion(std::size_t index) {
        std::lock_guard lock(mutex);
        return {std::exchange(exchanges[index].completion, {}), exchanges[index].request.maxReplyBytes};
    }
};

namespace {

// The scripted reply as a real client would hand it on: a failed exchange, or one whose body is past the
// request's limit, comes without a body.
FakeHttpReply asReceived(FakeHttpReply reply, std::size_t maxReplyBytes) {
    if (reply.body && reply.body->size() > maxReplyBytes && !reply.error) {
        reply.error = HttpError{"reply larger than " + std::to_string(maxReplyBytes) + " bytes"};
    }
    if (reply.error) reply.body.reset();
    return reply;
}

// Completes the exchange after the reply's delay unless something else (its time-out, a reply due
// earlier) completed it first. The task does nothing once the client is gone: its destructor completed the rest.
void deliver(const std::shared_ptr<FakeHttp::State>& state, std::size_t index, FakeHttpReply reply) {
    const auto delay = reply.delay;
    state->queue->asyncAfter(delay, [weak = std::weak_ptr(state), index, reply = std::move(reply)] {
        const auto live = weak.lock();
        if (!live) return;
        const auto [completion, maxReplyBytes] = live->takeCompletion(index);
        if (!completion) return;
        auto received = asReceived(reply, maxReplyBytes);
        completion(std::move(received.body), received.response, std::move(received.error));
    });
}

FakeHttpReply failure(std::string message, Duration delay = {}) {
    return {.error = HttpError{std::move(message)}, .delay = delay};
}

}  // namespace

FakeHttpReply FakeHttpReply::text(std::string_view body, int status) {
    return {.body = toData(body), .response = HttpResponse{status}};
}

FakeHttpReply FakeHttpReply::garbage() { return text("<html><body>502 Bad Gateway</body></html>"); }

FakeHttpReply FakeHttpReply::noBody(std::string message) { return failure(std::move(message)); }

FakeHttp::FakeHttp(std::shared_ptr<Dispatcher> dispatcher) : state_(std::make_shared<State>()) {
    state_->queue = dispatcher->globalQueue();
}

FakeHttp::~FakeHttp() {
    std::vector<Completion> unanswered;
    {
        std::lock_guard lock(state_->mutex);
        for (auto& exchange : state_->exchanges) {
            if (exchange.completion) unanswered.push_back(std::exchange(exchange.completion, {}));
        }
    }
    for (auto& completion : unanswered) {
        state_->queue->async([completion = std::move(completion)] {
            completion(std::nullopt, std::nullopt, HttpError{"The request was cancelled."});
        });
    }
}

void FakeHttp::send(HttpRequest request, Completion completion) {
    std::size_t index = 0;
    AutoReply autoReply;
    {
        std::lock_guard lock(state_->mutex);
        index = state_->exchanges.size();
        autoReply = state_->autoReply;
        state_->exchanges.push_back({request, std::move(completion)});
    }
    // A zero time-out means none, as it does for the real client.
    if (request.timeout > Duration::zero()) {
        deliver(state_, index, failure("The request timed out.", request.timeout));
    }
    if (!autoReply) return;
    if (auto answer = autoReply(request)) reply(index, std::move(*answer));
}

std::vector<HttpRequest> FakeHttp::requests() const {
    std::lock_guard lock(state_->mutex);
    std::vector<HttpRequest> requests;
    requests.reserve(state_->exchanges.size());
    for (const auto& exchange : state_->exchanges) requests.push_back(exchange.request);
    return requests;
}

std::size_t FakeHttp::unansweredCount() const {
    std::lock_guard lock(state_->mutex);
    std::size_t count = 0;
    for (const auto& exchange : state_->exchanges) count += !exchange.answered && exchange.completion;
    return count;
}

bool FakeHttp::reply(FakeHttpReply reply) {
    const auto index = state_->claimOldest();
    if (index) deliver(state_, *index, std::move(reply));
    return index.has_value();
}

bool FakeHttp::reply(std::size_t index, FakeHttpReply reply) {
    if (!state_->claim(index)) return false;
    deliver(state_, index, std::move(reply));
    return true;
}

void FakeHttp::setAutoReply(AutoReply handler) {
    std::lock_guard lock(state_->mutex);
    state_->autoReply = std::move(handler);
}

}  // namespace fenk
