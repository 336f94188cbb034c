#include "tools/fenk-platform/FaultInjector.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <tuple>
#include <utility>

#include "FenkSDK/json/RecordCodec.h"

namespace fenk {
namespace {

struct FaultOrderText {
    std::string kind{};
    std::optional<std::int64_t> count{};
    std::optional<std::int64_t> status{};
    std::optional<std::int64_t> delayMs{};
    std::optional<std::string> path{};
    std::optional<std::int64_t> every{};

    static constexpr auto jsonFields = std::tuple{json::field("kind", &FaultOrderText::kind),
                                                  json::field("count", &FaultOrderText::count),
                                                  json::field("status", &FaultOrderText::status),
                                                  json::field("delayMs", &FaultOrderText::delayMs),
                                                  json::field("path", &FaultOrderText::path),
                                                  json::field("every", &FaultOrderText::every)};
};

constexpr std::array<std::pair<std::string_view, Fault::Kind>, 5> kKindNames{{{"status", Fault::Kind::status},
                                                                              {"garbage", Fault::Kind::garbage},
                                                                              {"error", Fault::Kind::error},
                                                                              {"delay", Fault::Kind::delay},
                                                                              {"drop", Fault::Kind::drop}}};

constexpr std::int64_t kLongestDelayMs = 600'000;

// Whether `path` holds `segments` ("/a/b") as whole segments: "/x/a/b" and "/a/b/y" do, "/a/bc" does not.
bool holdsSegments(std::string_view path, std::string_view segments) {
    for (std::size_t at = path.find(segments); at != std::string_view::npos; at = path.find(segments, at + 1)) {
        const std::size_t end = at + segments.size();
        if (end == path.size() || path[end] == '/') return true;
    }
    return false;
}

}  // namespace

std::optional<FaultOrder> parseFaultOrder(std::string_view json, std::string& error) {
    const std::optional<FaultOrderText> text = json::decode<FaultOrderText>(json, &error);
    if (!text) return std::nullopt;
    FaultOrder order;
    const auto* named =
        std::ranges::find(kKindNames, std::string_view(text->kind), &std::pair<std::string_view, Fault::Kind>::first);
    if (named == kKindNames.end()) {
        error = "unknown fault kind \"" + text->kind + "\"";
        return std::nullopt;
    }
    order.fault.kind = named->second;
    if (text->count.value_or(1) < 0) {
        error = "count must be 0 (until cleared) or more";
        return std::nullopt;
    }
    order.count = static_cast<std::size_t>(text->count.value_or(1));
    if (text->every.value_or(1) < 1) {
        error = "every must be at least 1";
        return std::nullopt;
    }
    order.every = static_cast<std::size_t>(text->every.value_or(1));
    if (text->path && (!text->path->starts_with('/') || text->path->size() < 2 || text->path->ends_with('/'))) {
        error = "path must start with \"/\" and name at least one segment";
        return std::nullopt;
    }
    order.path = text->path;
    if (text->status) {
        if (*text->status < 100 || *text->status > 599) {
            error = "status must lie between 100 and 599";
            return std::nullopt;
        }
        order.fault.status = static_cast<int>(*text->status);
    }
    if (text->delayMs) {
        if (*text->delayMs < 0 || *text->delayMs > kLongestDelayMs) {
            error = "delayMs must lie between 0 and 600000";
            return std::nullopt;
        }
        order.fault.delay = std::chrono::milliseconds(*text->delayMs);
    }
    return order;
}

void FaultInjector::arm(const FaultOrder& order) {
    const std::scoped_lock lock(mutex_);
    pending_.push_back({order});
}

void FaultInjector::clear() {
    const std::scoped_lock lock(mutex_);
    pending_.clear();
}

std::optional<Fault> FaultInjector::take(std::string_view path) {
    const std::scoped_lock lock(mutex_);
    const auto armed = std::ranges::find_if(pending_, [path](const ArmedOrder& candidate) {
        return !candidate.order.path || holdsSegments(path, *candidate.order.path);
    });
    if (armed == pending_.end() || ++armed->matched % armed->order.every != 0) return std::nullopt;
    const Fault fault = armed->order.fault;
    if (armed->order.count != 0 && --armed->order.count == 0) pending_.erase(armed);
    return fault;
}

void FaultInjector::wait(std::chrono::milliseconds delay) {
    std::unique_lock lock(mutex_);
    interrupted_.wait_for(lock, delay, [this] { return stopping_; });
}

void FaultInjector::interrupt() {
    {
        const std::scoped_lock lock(mutex_);
        stopping_ = true;
    }
    interrupted_.notify_all();
}

}  // namespace fenk
