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

}  // namespace

bool isNoticeImage(const Data& bytes) {
    using namespace std::string_view_literals;
    const bool png = matches(bytes, {0, "\x89PNG\r\n\x1A\n"sv});
    const bool jpeg = matches(bytes, {0, "\xFF\xD8\xFF"sv});
    const bool gif = matches(bytes, {0, "GIF87a"sv}) || matches(bytes, {0, "GIF89a"sv});
    // RIFF, a four-byte length, then the WebP form type.
    const bool webp = matches(bytes, {0, "RIFF"sv}) && matches(bytes, {8, "WEBP"sv});
    return png || jpeg || gif || webp;
}

}  // namespace fenk
