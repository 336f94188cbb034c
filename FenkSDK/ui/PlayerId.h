#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace fenk {

inline constexpr std::size_t kPlayerIdLimit = 64;

// Whether a video or playlist identifier is spelt in the online service's alphabet: ASCII letters, digits, '_'
// and '-', 1 to 64 of them. Such an id needs no escaping wherever it goes: page, link or console.
constexpr bool isPlayerId(std::string_view id) {
    const auto inAlphabet = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
    };
    return !id.empty() && id.size() <= kPlayerIdLimit && std::ranges::all_of(id, inAlphabet);
}

}  // namespace fenk
