#pragma once

#include "FenkSDK/runtime/Data.h"

#include <cstdint>
#include <optional>

namespace fenk {

// Whether the bytes open as a PNG, JPEG, GIF or WebP image does, judged by the leading signature alone: the
// only formats a notice may carry, so a page or script served in place of an icon never reaches the system.
bool isNoticeImage(const Data& bytes);

struct PixelSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;

    bool operator==(const PixelSize&) const = default;
};

// The width and height a PNG, JPEG, GIF or WebP image declares in its header, read without decoding it, so
// that an image too large to decode is refused before a decoder allocates for it. None for any other bytes,
// and for a header cut short.
std::optional<PixelSize> imagePixelSize(const Data& bytes);

}  // namespace fenk
