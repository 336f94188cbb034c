#include "FenkSDK/runtime/DecimalText.h"

#include <array>
#include <charconv>
#include <cmath>

namespace fenk {
namespace {

std::string nonFinite(double value) {
    if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
    return value < 0 ? "-inf" : "inf";
}

}  // namespace

std::string fixedDecimals(double value, int decimals) {
    if (!std::isfinite(value)) return nonFinite(value);
    // Room for 309 integer digits, the point and the decimals asked for.
    std::string text(328 + static_cast<std::size_t>(decimals), '\0');
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, decimals);
    text.resize(static_cast<std::size_t>(result.ptr - text.data()));
    return text;
}

std::string shortestDecimal(double value) {
    if (!std::isfinite(value)) return nonFinite(value);
    std::array<char, 32> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    std::string text(digits.data(), result.ptr);
    if (text.find_first_of(".e") == std::string::npos) text += ".0";
    return text;
}

}  // namespace fenk
