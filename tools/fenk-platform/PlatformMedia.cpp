#include "tools/fenk-platform/PlatformMedia.h"

#include <cstdint>
#include <vector>

#include "tools/fenk-platform/PngImage.h"

namespace fenk {
namespace {

constexpr std::uint32_t kIconSide = 16;
constexpr std::size_t kOversizeBytes = std::size_t{11} << 20U;

// A diagonal blend from blue to orange, so that a picture shown by mistake upside down looks wrong.
std::string iconPng() {
    std::vector<std::uint8_t> pixels;
    pixels.reserve(std::size_t{kIconSide} * kIconSide * 3);
    for (std::uint32_t y = 0; y < kIconSide; ++y) {
        for (std::uint32_t x = 0; x < kIconSide; ++x) {
            const auto blend = static_cast<std::uint8_t>((x + y) * 255 / (2 * (kIconSide - 1)));
            pixels.insert(pixels.end(), {blend, static_cast<std::uint8_t>(96 + blend / 4),
                                         static_cast<std::uint8_t>(255 - blend)});
        }
    }
    return encodeRgbPng(kIconSide, kIconSide, pixels);
}

}  // namespace

std::optional<MediaFile> mediaFile(std::string_view name) {
    if (name == "icon.png") {
        std::string png = iconPng();
        const std::size_t size = png.size();
        return MediaFile{"image/png", std::move(png), size};
    }
    if (name == "notes.txt") {
        std::string text = "Notes of the local platform: this file is text, not a picture.\n";
        const std::size_t size = text.size();
        return MediaFile{"text/plain; charset=utf-8", std::move(text), size};
    }
    // A real picture followed by zeros, which picture decoders ignore: only its size is wrong.
    if (name == "oversize.png") return MediaFile{"image/png", iconPng(), kOversizeBytes};
    return std::nullopt;
}

}  // namespace fenk
