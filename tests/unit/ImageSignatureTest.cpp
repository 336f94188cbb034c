#include "FenkSDK/engagement/ImageSignature.h"

#include "support/ImageHeaders.h"

#include <gtest/gtest.h>

namespace fenk {
namespace {

using namespace test;

Data bytes(const std::string& text) { return {text.begin(), text.end()}; }

// The size is what keeps an image too large to decode away from the decoder.
TEST(ImageSignature, ReadsTheDeclaredSizeOfEachFormatAndRefusesTheRest) {
    const struct {
        const char* name;
        std::string bytes;
        std::optional<PixelSize> size;
    } cases[] = {
        {"png", pngHeader(16, 9000), PixelSize{16, 9000}},
        {"wide png", pngHeader(70000, 1), PixelSize{70000, 1}},
        {"gif", gifHeader(640, 480), PixelSize{640, 480}},
        {"jpeg after an application segment", jpegHeader(4000, 3000), PixelSize{4000, 3000}},
        {"lossless webp", webpHeader(16383, 2), PixelSize{16383, 2}},
        {"png cut before its size", pngHeader(1, 1).substr(0, 20), std::nullopt},
        {"jpeg without a frame", jpegHeader(1, 1).substr(0, 20), std::nullopt},
        {"jpeg with a broken segment", std::string("\xFF\xD8\xFF\xE0\0\x01", 6) + jpegHeader(1, 1), std::nullopt},
        {"riff of another kind", "RIFF\x10\0\0\0WAVEfmt ", std::nullopt},
        {"html", "<html><body>", std::nullopt},
        {"nothing", "", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(imagePixelSize(bytes(c.bytes)), c.size) << c.name;
}

}  // namespace
}  // namespace fenk
