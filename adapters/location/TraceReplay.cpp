#include "adapters/location/TraceReplay.h"

#include "FenkSDK/location/Timestamp.h"
#include "FenkSDK/runtime/WhileAlive.h"

#include <atomic>
#include <chrono>
#include <utility>

namespace fenk {
namespace {

// The longest single wait: a fix dated absurdly far ahead is checked on again rather than scheduled at a
// time the dispatcher's clock cannot hold.
constexpr std::chrono::hours kLongestWait{24};

}  // namespace

struct TraceReplay::State : std::enable_shared_from_this<State> {
    State(std::shared_ptr<EngineLocation> feeding, std::shared_ptr<Dispatcher> clock, std::vector<LocationFix> trace)
        : engine(std::move(feeding)), dispatcher(std::move(clock)), mainQueue(dispatcher->mainQueue()),
          fixes(std::move(trace)) {}

    // Ingests every fix now due, then waits for the next one.
    void step() {
        const Timestamp now = timestampFromSystemTime(dispatcher->now());
        std::size_t next = ingested.load();
        while (next < fixes.size() && fixes[next].timestamp <= now) {
            engine->ingest(fixes[next]);
            ingested.store(++next);
        }
        if (next == fixes.size()) return;
        const auto wait = fixes[next].timestamp > now + kLongestWait ? TimestampClock::duration(kLongestWait)
                                                                     : fixes[next].timestamp - now;
        mainQueue->asyncAfter(wait, whileAlive(weak_from_this(), [](State& state) { state.step(); }));
    }

    std::shared_ptr<EngineLocation> engine;
    std::shared_ptr<Dispatcher> dispatcher;
    std::shared_ptr<DispatchQueue> mainQueue;
    std::vector<LocationFix> fixes;
    std::atomic<std::size_t> ingested = 0;
    bool started = false;
};

TraceReplay::TraceReplay(std::shared_ptr<EngineLocation> engine, std::shared_ptr<Dispatcher> dispatcher,
                         std::vector<LocationFix> fixes)
    : state_(std::make_shared<State>(std::move(engine), std::move(dispatcher), std::move(fixes))) {}

TraceReplay::~TraceReplay() = default;

void TraceReplay::start() {
    if (std::exchange(state_->started, true)) return;
    state_->mainQueue->async(whileAlive(std::weak_ptr(state_), [](State& state) { state.step(); }));
}

std::size_t TraceReplay::ingested() const { return state_->ingested.load(); }

std::size_t TraceReplay::total() const { return state_->fixes.size(); }

bool TraceReplay::finished() const { return ingested() == total(); }

}  // namespace fenk
