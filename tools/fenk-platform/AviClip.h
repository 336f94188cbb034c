#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace fenk {

struct AviClipFormat {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t framesPerSecond = 0;
};

// An AVI file of one video stream of uncompressed 24-bit frames with an index, which common demuxers play
// without any codec. Each frame is a picture like encodeRgbPng's: RGB rows top to bottom, three bytes a
// pixel, width * height pixels. The rate is at least one frame a second.
std::string encodeAviClip(const AviClipFormat& format, std::span<const std::vector<std::uint8_t>> frames);

}  // namespace fenk
