#include "tools/fenk-platform/PlatformMedia.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <vector>

#include "tools/fenk-platform/AviClip.h"
#include "tools/fenk-platform/PcmWave.h"
#include "tools/fenk-platform/PlayerScript.h"
#include "tools/fenk-platform/PngImage.h"
#include "tools/fenk-platform/RgbCanvas.h"

namespace fenk {
namespace {

constexpr std::uint32_t kIconSide = 16;
constexpr std::size_t kOversizeBytes = std::size_t{11} << 20U;
constexpr AviClipFormat kClipFormat{160, 120, 15};
constexpr std::uint32_t kClipFrames = 30;
constexpr std::uint32_t kToneSampleRate = 16'000;
constexpr double kToneHertz = 440;
constexpr double kToneSeconds = 2;
constexpr double kToneFadeSeconds = 0.05;  // no click where the tone starts and stops
constexpr double kToneLoudness = 0.25;     // of full scale: soft

// A sky, a sun and two lines of hills.
struct PosterScene {
    std::uint32_t width;
    std::uint32_t height;
    Rgb skyTop;
    Rgb skyBottom;
    Rgb sun;
    Rgb farHills;
    Rgb nearHills;
};

// Dusk for the upright picture, day for the wide one: their skies tell them apart at a glance.
constexpr PosterScene kPortrait{360, 640, {232, 112, 84}, {255, 204, 128}, {255, 244, 214}, {156, 72, 112},
                                {92, 40, 80}};
constexpr PosterScene kLandscape{640, 360, {44, 112, 204}, {172, 216, 246}, {255, 236, 150}, {92, 164, 92},
                                 {40, 112, 60}};

MediaFile whole(std::string contentType, std::string content) {
    const std::size_t size = content.size();
    return MediaFile{std::move(contentType), std::move(content), size};
}

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

std::string posterPng(const PosterScene& scene) {
    const double width = scene.width;
    const double height = scene.height;
    RgbCanvas canvas(scene.width, scene.height);
    canvas.fillGradient(scene.skyTop, scene.skyBottom);
    canvas.fillDisc(width * 0.7, height * 0.3, std::min(width, height) * 0.12, scene.sun);
    canvas.fillHills(height * 0.68, height * 0.04, width * 0.9, 0, scene.farHills);
    canvas.fillHills(height * 0.8, height * 0.05, width * 0.6, 1, scene.nearHills);
    return encodeRgbPng(scene.width, scene.height, canvas.pixels());
}

// A ball bouncing from left to right over a night sky and hills, so that every frame differs.
std::string clipAvi() {
    const double width = kClipFormat.width;
    const double height = kClipFormat.height;
    std::vector<std::vector<std::uint8_t>> frames;
    frames.reserve(kClipFrames);
    for (std::uint32_t frame = 0; frame < kClipFrames; ++frame) {
        const double progress = double(frame) / (kClipFrames - 1);
        RgbCanvas canvas(kClipFormat.width, kClipFormat.height);
        canvas.fillGradient({16, 24, 64}, {72, 96, 160});
        canvas.fillHills(height * 0.8, height * 0.04, width * 0.7, 0, {32, 88, 56});
        const double bounce = std::abs(std::sin(2 * std::numbers::pi * progress));
        canvas.fillDisc(width * (0.1 + 0.8 * progress), height * (0.65 - 0.4 * bounce), height * 0.1,
                        {250, 160, 48});
        const auto pixels = canvas.pixels();
        frames.emplace_back(pixels.begin(), pixels.end());
    }
    return encodeAviClip(kClipFormat, frames);
}

std::string toneWav() {
    const auto count = static_cast<std::size_t>(kToneSampleRate * kToneSeconds);
    std::vector<std::int16_t> samples(count);
    for (std::size_t at = 0; at < count; ++at) {
        const double seconds = double(at) / kToneSampleRate;
        const double fade = std::min({1.0, seconds / kToneFadeSeconds, (kToneSeconds - seconds) / kToneFadeSeconds});
        const double wave = std::sin(2 * std::numbers::pi * kToneHertz * seconds);
        samples[at] = static_cast<std::int16_t>(std::lround(wave * fade * kToneLoudness * std::numeric_limits<std::int16_t>::max()));
    }
    return encodeMonoPcmWave(kToneSampleRate, samples);
}

}  // namespace

std::optional<MediaFile> mediaFile(std::string_view name) {
    if (name == "icon.png") return whole("image/png", iconPng());
    if (name == "notes.txt") {
        return whole("text/plain; charset=utf-8", "Notes of the local platform: this file is text, not a picture.\n");
    }
    // A real picture followed by zeros, which picture decoders ignore: only its size is wrong.
    if (name == "oversize.png") return MediaFile{"image/png", iconPng(), kOversizeBytes};
    if (name == "poster-portrait.png") return whole("image/png", posterPng(kPortrait));
    if (name == "poster-landscape.png") return whole("image/png", posterPng(kLandscape));
    if (name == "clip.avi") return whole("video/x-msvideo", clipAvi());
    if (name == "tone.wav") return whole("audio/wav", toneWav());
    if (name == "player.js") return whole("text/javascript; charset=utf-8", std::string(playerScript()));
    return std::nullopt;
}

}  // namespace fenk
