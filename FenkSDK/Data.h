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

}  // namespace fenk
