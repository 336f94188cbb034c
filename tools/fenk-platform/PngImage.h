#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace fenk {

// A PNG file of 8-bit RGB pixels, rows top to bottom, three bytes a pixel. Stored without compression:
// the platform's pictures are a few hundred bytes and need no zlib.
std::string encodeRgbPng(std::uint32_t width, std::uint32_t height, std::span<const std::uint8_t> pixels);

}  // namespace fenk
