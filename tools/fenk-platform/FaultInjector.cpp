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

    static constexpr auto jsonFields = std::tuple{json::field("kind", &FaultOrderText::kind),
                                                  json::field("count", &FaultOrderText::count),
                                                  json::field("status", &FaultOrderText::status),
                                                  json::field("delayMs", &FaultOrderText::delayMs)};
};

constexpr std::array<std::pair<std::string_view, Fault::Kind>, 5> kKindNames{{{"status", Fault::Kind::status},
                                                                              {"garbage", Fault::Kind::garbage},
                                                                              {"error", Fault::Kind::error},
                                                                              {"delay", Fault::Kind::delay},
                                                                              {"drop", Fault::Kind::drop}}};

constexpr std::int64_t kLongestDelayMs = 600'000;

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
    if (text->count.value_or(1) < 1) {
        error = "count must be at least 1";
        return std::nullopt;
    }
    order.count = static_cast<std::size_t>(text->count.value_or(1));
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
    pending_.push_back(order);
}

void FaultInjector::clear() {
    const std::scoped_lock lock(mutex_);
    pending_.clear();
}

std::optional<Fault> FaultInjector::take() {
    const std::scoped_lock lock(mutex_);
    if (pending_.empty()) return std::nullopt;
    const Fault fault = pending_.front().fault;
    if (--pending_.front().count == 0) pending_.pop_front();
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
