#pragma once

#include <cstdint>
#include <string>

namespace fenk {

// Numbers least significant byte first, as RIFF files and deflate block headers lay them out.
inline void appendLittleEndian16(std::string& out, std::uint32_t value) {
    out.push_back(static_cast<char>(value & 0xFFU));
    out.push_back(static_cast<char>((value >> 8U) & 0xFFU));
}

inline void appendLittleEndian32(std::string& out, std::uint32_t value) {
    appendLittleEndian16(out, value & 0xFFFFU);
    appendLittleEndian16(out, value >> 16U);
}

}  // namespace fenk
