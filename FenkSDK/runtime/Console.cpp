#include "FenkSDK/runtime/Console.h"

#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

namespace fenk {
namespace {

// The sink is called outside the lock, so a sink that prints, or posts work that prints, cannot deadlock;
// setSink() waits for calls in flight, so a replaced sink is never called after it returns.
struct SinkState {
    std::mutex mutex;
    std::condition_variable idle;
    std::shared_ptr<const Console::Sink> sink;
    int callsInFlight = 0;
};

SinkState& sinkState() {
    static SinkState state;
    return state;
}

// Set while this thread runs the sink: a line it prints goes to standard error instead of looping back.
thread_local bool tInsideSink = false;

void printToStandardError(std::string_view line) {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
}

}  // namespace

void Console::print(std::string_view line) {
    auto& state = sinkState();
    std::shared_ptr<const Sink> sink;
    if (!tInsideSink) {
        std::lock_guard lock(state.mutex);
        sink = state.sink;
        if (sink) ++state.callsInFlight;
    }
    if (!sink) return printToStandardError(line);
    // Ends the call even when the host's sink throws, so that setSink() is not left waiting for it.
    struct CallInFlight {
        SinkState& state;
        CallInFlight(SinkState& shared) : state(shared) { tInsideSink = true; }
        ~CallInFlight() {
            tInsideSink = false;
            std::lock_guard lock(state.mutex);
            if (--state.callsInFlight == 0) state.idle.notify_all();
        }
    } call(state);
    (*sink)(line);
}

void Console::setSink(Sink sink) {
    auto& state = sinkState();
    std::unique_lock lock(state.mutex);
    state.sink = sink ? std::make_shared<const Sink>(std::move(sink)) : nullptr;
    // From inside a sink the wait would include this very call.
    if (!tInsideSink) state.idle.wait(lock, [&] { return state.callsInFlight == 0; });
}

}  // namespace fenk
