#include "FenkSDK/runtime/Console.h"

#include <cstdio>
#include <mutex>
#include <string>

namespace fenk {
namespace {

std::mutex& sinkMutex() {
    static std::mutex mutex;
    return mutex;
}

Console::Sink& currentSink() {
    static Console::Sink sink;
    return sink;
}

}  // namespace

void Console::print(std::string_view line) {
    std::lock_guard lock(sinkMutex());
    if (const auto& sink = currentSink()) {
        sink(line);
        return;
    }
    std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
}

void Console::setSink(Sink sink) {
    std::lock_guard lock(sinkMutex());
    currentSink() = std::move(sink);
}

}  // namespace fenk
