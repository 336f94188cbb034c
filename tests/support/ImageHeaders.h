#pragma once

#include <cstdint>
#include <string>

namespace fenk::test {

// The first bytes of an image of each format, declaring the size given; enough for anything that reads
// headers, not for a decoder.
inline std::string bigEndian32(std::uint32_t value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
            static_cast<char>(value)};
}

inline std::string pngHeader(std::uint32_t width, std::uint32_t height) {
    return std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16) + bigEndian32(width) + bigEndian32(height) +
           std::string("\x08\x06\0\0\0", 5);
}

inline std::string littleEndian16(std::uint32_t value) {
    return {static_cast<char>(value), static_cast<char>(value >> 8)};
}

inline std::string gifHeader(std::uint32_t width, std::uint32_t height) {
    return "GIF89a" + littleEndian16(width) + littleEndian16(height) + std::string("\0\0\0", 3);
}

// A JPEG whose frame follows an application segment, as a camera writes it.
inline std::string jpegHeader(std::uint32_t width, std::uint32_t height) {
    const std::string app0("\xFF\xE0\0\x10JFIF\0\x01\x01\0\0\x01\0\x01\0\0", 18);
    const std::string frame = std::string("\xFF\xC0\0\x11\x08", 5) + bigEndian32(height).substr(2) +
                              bigEndian32(width).substr(2) + std::string("\x03\x01\x22\0", 4);
    return std::string("\xFF\xD8", 2) + app0 + frame;
}

// A lossless WebP: 14-bit sizes, each stored less one.
inline std::string webpHeader(std::uint32_t width, std::uint32_t height) {
    const std::uint32_t bits = (width - 1) | (height - 1) << 14;
    return std::string("RIFF\x10\0\0\0WEBPVP8L\x05\0\0\0\x2F", 21) + littleEndian16(bits) + littleEndian16(bits >> 16);
}

}  // namespace fenk::test
