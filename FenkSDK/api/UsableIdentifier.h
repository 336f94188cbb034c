#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace fenk {

// Identifiers and tokens the platform hands out are kept in the settings and echoed into addresses, forms
// and the console, so a reply is trusted with one only when it is short enough for that.
inline constexpr std::size_t kIdentifierLimit = 256;
inline constexpr std::size_t kTokenLimit = 4096;

// NUL, CR, LF, escape, delete...: bytes that break a line, a form or a terminal when echoed.
constexpr bool isControlCharacter(char character) {
    const auto byte = static_cast<unsigned char>(character);
    return byte < 0x20 || byte == 0x7f;
}

// Non-empty, at most `limit` bytes, and free of control characters.
constexpr bool isUsableIdentifier(std::string_view text, std::size_t limit = kIdentifierLimit) {
    return !text.empty() && text.size() <= limit && std::ranges::none_of(text, isControlCharacter);
}

// The reply's value when it is usable, else none: an unusable value counts as one the reply did not carry.
inline std::optional<std::string> usableOrNone(const std::optional<std::string>& value,
                                               std::size_t limit = kIdentifierLimit) {
    if (value && isUsableIdentifier(*value, limit)) return value;
    return std::nullopt;
}

}  // namespace fenk
