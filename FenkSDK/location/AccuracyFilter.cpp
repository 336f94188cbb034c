#include "FenkSDK/location/AccuracyFilter.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string_view>

namespace fenk {
namespace {

// Truncated toward zero; none for text that is not wholly a number, and for numbers no 64-bit integer holds.
std::optional<std::int64_t> wholeMetres(std::string_view text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
    const double truncated = std::trunc(value);
    constexpr double kBound = 9223372036854775808.0;  // 2^63
    if (truncated >= kBound || truncated < -kBound) return std::nullopt;
    return static_cast<std::int64_t>(truncated);
}

}  // namespace

std::int64_t accuracyLimit(const std::vector<FG_Extra>& appParameters) {
    const FG_Extra* last = nullptr;
    for (const FG_Extra& parameter : appParameters) {
        if (parameter.name == "userAccuracyMaxValue") last = &parameter;
    }
    if (!last || !last->value) return 0;
    return wholeMetres(*last->value).value_or(0);
}

bool failsAccuracyLimit(const StoredLocation& record, std::int64_t limit) {
    if (record.tipo != LocationType::location || limit == 0 || !record.horizontalAccuracy) return false;
    const double accuracy = std::trunc(*record.horizontalAccuracy);
    return accuracy > static_cast<double>(limit);
}

}  // namespace fenk
