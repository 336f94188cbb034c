#include "tools/fenk-platform/AviClip.h"

#include <string_view>

#include "tools/fenk-platform/LittleEndian.h"
#include "tools/fenk-platform/RiffChunks.h"

namespace fenk {
namespace {

constexpr std::string_view kFrameCode = "00db";  // stream 0, uncompressed picture
constexpr std::uint32_t kHasIndex = 0x10;
constexpr std::uint32_t kKeyFrame = 0x10;
constexpr std::uint32_t kBitmapHeaderSize = 40;
constexpr std::uint32_t kBitsPerPixel = 24;
constexpr std::uint32_t kMicrosecondsPerSecond = 1'000'000;

// Rows of a device-independent bitmap hold whole 32-bit words.
std::uint32_t paddedRowBytes(std::uint32_t width) { return (width * 3 + 3) / 4 * 4; }

std::uint32_t frameBytes(const AviClipFormat& format) { return paddedRowBytes(format.width) * format.height; }

// The bitmap layout: rows bottom to top, each pixel blue, green, red.
std::string bitmapOf(const AviClipFormat& format, std::span<const std::uint8_t> rgb) {
    const std::size_t rowBytes = std::size_t{format.width} * 3;
    std::string bitmap;
    bitmap.reserve(frameBytes(format));
    for (std::size_t row = format.height; row-- > 0;) {
        const auto line = rgb.subspan(row * rowBytes, rowBytes);
        for (std::size_t at = 0; at < rowBytes; at += 3) {
            bitmap.append({static_cast<char>(line[at + 2]), static_cast<char>(line[at + 1]),
                           static_cast<char>(line[at])});
        }
        bitmap.append(paddedRowBytes(format.width) - rowBytes, '\0');
    }
    return bitmap;
}

std::string mainHeader(const AviClipFormat& format, std::uint32_t frameCount) {
    std::string header;
    appendLittleEndian32(header, kMicrosecondsPerSecond / format.framesPerSecond);
    appendLittleEndian32(header, frameBytes(format) * format.framesPerSecond);  // bytes a second at most
    appendLittleEndian32(header, 0);                                             // padding granularity
    appendLittleEndian32(header, kHasIndex);
    appendLittleEndian32(header, frameCount);
    appendLittleEndian32(header, 0);  // initial frames
    appendLittleEndian32(header, 1);  // streams
    appendLittleEndian32(header, frameBytes(format));  // suggested buffer size
    appendLittleEndian32(header, format.width);
    appendLittleEndian32(header, format.height);
    header.append(16, '\0');  // reserved
    return riffChunk("avih", header);
}

std::string streamHeader(const AviClipFormat& format, std::uint32_t frameCount) {
    std::string header("vidsDIB ");
    appendLittleEndian32(header, 0);  // flags
    appendLittleEndian32(header, 0);  // priority and language
    appendLittleEndian32(header, 0);  // initial frames
    appendLittleEndian32(header, 1);  // scale: the rate counts frames a second
    appendLittleEndian32(header, format.framesPerSecond);
    appendLittleEndian32(header, 0);  // start
    appendLittleEndian32(header, frameCount);
    appendLittleEndian32(header, frameBytes(format));  // suggested buffer size
    appendLittleEndian32(header, 0xFFFF'FFFFU);        // quality: the default
    appendLittleEndian32(header, 0);                   // sample size: none, a chunk holds one frame
    appendLittleEndian16(header, 0);                   // frame rectangle: left, top, right, bottom
    appendLittleEndian16(header, 0);
    appendLittleEndian16(header, format.width);
    appendLittleEndian16(header, format.height);
    return riffChunk("strh", header);
}

std::string streamFormat(const AviClipFormat& format) {
    std::string bitmapHeader;
    appendLittleEndian32(bitmapHeader, kBitmapHeaderSize);
    appendLittleEndian32(bitmapHeader, format.width);
    appendLittleEndian32(bitmapHeader, format.height);  // positive: rows bottom to top
    appendLittleEndian16(bitmapHeader, 1);              // planes
    appendLittleEndian16(bitmapHeader, kBitsPerPixel);
    appendLittleEndian32(bitmapHeader, 0);  // no compression
    appendLittleEndian32(bitmapHeader, frameBytes(format));
    bitmapHeader.append(16, '\0');  // resolution and palette: none
    return riffChunk("strf", bitmapHeader);
}

}  // namespace

std::string encodeAviClip(const AviClipFormat& format, std::span<const std::vector<std::uint8_t>> frames) {
    const auto frameCount = static_cast<std::uint32_t>(frames.size());
    std::string movies("movi");
    std::string index;
    for (const std::vector<std::uint8_t>& frame : frames) {
        const std::string bitmap = bitmapOf(format, frame);
        // Offsets count from the list's own code, "movi".
        index.append(kFrameCode);
        appendLittleEndian32(index, kKeyFrame);
        appendLittleEndian32(index, static_cast<std::uint32_t>(movies.size()));
        appendLittleEndian32(index, static_cast<std::uint32_t>(bitmap.size()));
        appendRiffChunk(movies, kFrameCode, bitmap);
    }
    const std::string headers =
        mainHeader(format, frameCount) + riffList("LIST", "strl", streamHeader(format, frameCount) + streamFormat(format));
    return riffList("RIFF", "AVI ",
                    riffList("LIST", "hdrl", headers) + riffChunk("LIST", movies) + riffChunk("idx1", index));
}

}  // namespace fenk
