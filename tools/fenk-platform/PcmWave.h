#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace fenk {

// A WAV file of one channel of 16-bit PCM samples at `sampleRate` samples a second.
std::string encodeMonoPcmWave(std::uint32_t sampleRate, std::span<const std::int16_t> samples);

}  // namespace fenk
