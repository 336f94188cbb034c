#include "FenkSDK/engagement/ImageSignature.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace fenk {
namespace {

// Bytes expected at `offset`.
struct SignaturePart {
    std::size_t offset;
    std::string_view bytes;
};

bool matches(const Data& data, SignaturePart part) {
    return data.size() >= part.offset + part.bytes.size() &&
           std::equal(part.bytes.begin(), part.bytes.end(), data.begin() + static_cast<std::ptrdiff_t>(part.offset),
                      [](char expected, std::uint8_t actual) { return static_cast<std::uint8_t>(expected) == actual; });
}


std::uint32_t bigEndian16(const Data& data, std::size_t offset) {
    return static_cast<std::uint32_t>(data[offset]) << 8 | data[offset + 1];
}

std::uint32_t littleEndian(const Data& data, std::size_t offset, std::size_t bytes) {
    std::uint32_t value = 0;
    for (std::size_t index = bytes; index-- > 0;) value = value << 8 | data[offset + index];
    return value;
}

std::optional<PixelSize> pngSize(const Data& data) {
    // The first chunk is IHDR: width and height as 32-bit big-endian numbers.
    if (data.size() < 24) return std::nullopt;
    return PixelSize{bigEndian16(data, 16) << 16 | bigEndian16(data, 18), bigEndian16(data, 20) << 16 | bigEndian16(data, 22)};
}

std::optional<PixelSize> gifSize(const Data& data) {
    if (data.size() < 10) return std::nullopt;
    return PixelSize{littleEndian(data, 6, 2), littleEndian(data, 8, 2)};
}

// Walks the segments to the first start-of-frame; every segment but the markers without one carries its length.
std::optional<PixelSize> jpegSize(const Data& data) {
    std::size_t offset = 2;
    while (offset + 4 <= data.size()) {
        if (data[offset] != 0xFF) return std::nullopt;
        const std::uint8_t marker = data[offset + 1];
        if (marker == 0xFF) {  // fill byte
            ++offset;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD9)) {
            offset += 2;
            continue;
        }
        const bool startOfFrame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (startOfFrame) {
            if (offset + 9 > data.size()) return std::nullopt;
            return PixelSize{bigEndian16(data, offset + 7), bigEndian16(data, offset + 5)};
        }
        const std::size_t length = bigEndian16(data, offset + 2);
        if (length < 2) return std::nullopt;
        offset += 2 + length;
    }
    return std::nullopt;
}

std::optional<PixelSize> webpSize(const Data& data) {
    using namespace std::string_view_literals;
    if (matches(data, {12, "VP8 "sv}) && data.size() >= 30) {
        return PixelSize{littleEndian(data, 26, 2) & 0x3FFF, littleEndian(data, 28, 2) & 0x3FFF};
    }
    if (matches(data, {12, "VP8L"sv}) && data.size() >= 25) {
        const std::uint32_t bits = littleEndian(data, 21, 4);
        return PixelSize{(bits & 0x3FFF) + 1, ((bits >> 14) & 0x3FFF) + 1};
    }
    if (matches(data, {12, "VP8X"sv}) && data.size() >= 30) {
        return PixelSize{littleEndian(data, 24, 3) + 1, littleEndian(data, 27, 3) + 1};
    }
    return std::nullopt;
}

enum class ImageFormat { png, jpeg, gif, webp };

std::optional<ImageFormat> imageFormat(const Data& bytes) {
    using namespace std::string_view_literals;
    if (matches(bytes, {0, "\x89PNG\r\n\x1A\n"sv})) return ImageFormat::png;
    if (matches(bytes, {0, "\xFF\xD8\xFF"sv})) return ImageFormat::jpeg;
    if (matches(bytes, {0, "GIF87a"sv}) || matches(bytes, {0, "GIF89a"sv})) return ImageFormat::gif;
    // RIFF, a four-byte length, then the WebP form type.
    if (matches(bytes, {0, "RIFF"sv}) && matches(bytes, {8, "WEBP"sv})) return ImageFormat::webp;
    return std::nullopt;
}

}  // namespace

bool isNoticeImage(const Data& bytes) { return imageFormat(bytes).has_value(); }

std::optional<PixelSize> imagePixelSize(const Data& bytes) {
    const auto format = imageFormat(bytes);
    if (!format) return std::nullopt;
    switch (*format) {
        case ImageFormat::png: return pngSize(bytes);
        case ImageFormat::jpeg: return jpegSize(bytes);
        case ImageFormat::gif: return gifSize(bytes);
        case ImageFormat::webp: return webpSize(bytes);
    }
    return std::nullopt;
}

}  // namespace fenk
