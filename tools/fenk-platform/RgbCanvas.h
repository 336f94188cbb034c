#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace fenk {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

// A picture of 8-bit RGB pixels, rows top to bottom, three bytes a pixel (what encodeRgbPng and the clip
// writer take), painted with a few simple shapes. Shapes are clipped to the picture.
class RgbCanvas {
public:
    RgbCanvas(std::uint32_t width, std::uint32_t height);

    // Top row `top`, bottom row `bottom`, blended in between.
    void fillGradient(Rgb top, Rgb bottom);
    void fillDisc(double centreX, double centreY, double radius, Rgb colour);
    // Everything below a wave whose mean height is `baseY`: a line of rolling hills.
    void fillHills(double baseY, double amplitude, double wavelength, double phase, Rgb colour);

    std::uint32_t width() const { return width_; }
    std::uint32_t height() const { return height_; }
    std::span<const std::uint8_t> pixels() const { return pixels_; }

private:
    void set(std::uint32_t x, std::uint32_t y, Rgb colour);

    std::uint32_t width_;
    std::uint32_t height_;
    std::vector<std::uint8_t> pixels_;
};

}  // namespace fenk
