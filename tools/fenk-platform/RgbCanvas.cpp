#include "tools/fenk-platform/RgbCanvas.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace fenk {
namespace {

std::uint8_t blend(std::uint8_t from, std::uint8_t to, double share) {
    return static_cast<std::uint8_t>(std::lround(from + (to - from) * share));
}

// The rows or columns from `low` to `high` that lie inside 0..limit-1, as a half-open range.
std::pair<std::uint32_t, std::uint32_t> clipped(double low, double high, std::uint32_t limit) {
    const auto inside = [limit](double at) { return static_cast<std::uint32_t>(std::clamp(at, 0.0, double(limit))); };
    return {inside(std::ceil(low)), inside(std::floor(high) + 1)};
}

}  // namespace

RgbCanvas::RgbCanvas(std::uint32_t width, std::uint32_t height)
    : width_(width), height_(height), pixels_(std::size_t{width} * height * 3) {}

void RgbCanvas::fillGradient(Rgb top, Rgb bottom) {
    for (std::uint32_t y = 0; y < height_; ++y) {
        const double share = height_ > 1 ? double(y) / (height_ - 1) : 0.0;
        const Rgb row{blend(top.red, bottom.red, share), blend(top.green, bottom.green, share),
                      blend(top.blue, bottom.blue, share)};
        for (std::uint32_t x = 0; x < width_; ++x) set(x, y, row);
    }
}

void RgbCanvas::fillDisc(double centreX, double centreY, double radius, Rgb colour) {
    const auto [top, bottom] = clipped(centreY - radius, centreY + radius, height_);
    for (std::uint32_t y = top; y < bottom; ++y) {
        const double dy = y - centreY;
        const double halfWidth = std::sqrt(std::max(0.0, radius * radius - dy * dy));
        const auto [left, right] = clipped(centreX - halfWidth, centreX + halfWidth, width_);
        for (std::uint32_t x = left; x < right; ++x) set(x, y, colour);
    }
}

void RgbCanvas::fillHills(double baseY, double amplitude, double wavelength, double phase, Rgb colour) {
    for (std::uint32_t x = 0; x < width_; ++x) {
        const double crest = baseY - amplitude * std::sin(2 * std::numbers::pi * x / wavelength + phase);
        for (std::uint32_t y = clipped(crest, height_, height_).first; y < height_; ++y) set(x, y, colour);
    }
}

void RgbCanvas::set(std::uint32_t x, std::uint32_t y, Rgb colour) {
    const std::size_t at = (std::size_t{y} * width_ + x) * 3;
    pixels_[at] = colour.red;
    pixels_[at + 1] = colour.green;
    pixels_[at + 2] = colour.blue;
}

}  // namespace fenk
