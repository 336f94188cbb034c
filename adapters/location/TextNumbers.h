#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace fenk {

// A plain decimal number ("-12.5", "3e2") filling the whole text; absent for anything else, NaN and infinity
// included. Traces write numbers this way whatever the writer's locale.
std::optional<double> parseFiniteDouble(std::string_view text);

// Exactly `text.size()` decimal digits and nothing else (at most 18 of them).
std::optional<std::int64_t> parseDigits(std::string_view text);

// Leading and trailing spaces, tabs and line ends removed.
std::string_view trimmed(std::string_view text);

}  // namespace fenk
