#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fenk {

// An opaque byte buffer, as kept by the settings store and the secure store.
using Data = std::vector<std::uint8_t>;

inline Data toData(std::string_view text) { return Data(text.begin(), text.end()); }
inline std::string_view asText(const Data& data) {
    return {reinterpret_cast<const char*>(data.data()), data.size()};
}

enum class HexDigits { lower, upper };

// Appends the byte as two hexadecimal digits, high nibble first.
inline void appendHexByte(std::string& out, std::uint8_t byte, HexDigits digits) {
    const std::string_view alphabet = digits == HexDigits::upper ? "0123456789ABCDEF" : "0123456789abcdef";
    out += alphabet[byte >> 4];
    out += alphabet[byte & 0x0F];
}

}  // namespace fenk
