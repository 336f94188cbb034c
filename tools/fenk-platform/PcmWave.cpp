#include "tools/fenk-platform/PcmWave.h"

#include "tools/fenk-platform/LittleEndian.h"
#include "tools/fenk-platform/RiffChunks.h"

namespace fenk {

std::string encodeMonoPcmWave(std::uint32_t sampleRate, std::span<const std::int16_t> samples) {
    constexpr std::uint32_t kPcm = 1;
    constexpr std::uint32_t kBytesPerSample = 2;
    std::string format;
    appendLittleEndian16(format, kPcm);
    appendLittleEndian16(format, 1);  // channels
    appendLittleEndian32(format, sampleRate);
    appendLittleEndian32(format, sampleRate * kBytesPerSample);  // bytes a second
    appendLittleEndian16(format, kBytesPerSample);               // bytes a frame of all channels
    appendLittleEndian16(format, kBytesPerSample * 8);           // bits a sample

    std::string data;
    data.reserve(samples.size() * kBytesPerSample);
    for (const std::int16_t sample : samples) appendLittleEndian16(data, static_cast<std::uint16_t>(sample));
    return riffList("RIFF", "WAVE", riffChunk("fmt ", format) + riffChunk("data", data));
}

}  // namespace fenk
