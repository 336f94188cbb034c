#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace fenk {

inline constexpr std::size_t kPlayerIdLimit = 64;

// The online service's id alphabet: ASCII letters, digits, '_' and '-'.
constexpr bool isPlayerIdCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
}

// Whether a video or playlist identifier is spelt in that alphabet, 1 to 64 characters. Such an id needs no
// escaping wherever it goes: page, link or console.
constexpr bool isPlayerId(std::string_view id) {
    return !id.empty() && id.size() <= kPlayerIdLimit && std::ranges::all_of(id, isPlayerIdCharacter);
}

}  // namespace fenk
