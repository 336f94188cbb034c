#pragma once

#include "FenkSDK/runtime/Data.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace fenk {

class Http;

// Decoded, an image takes four bytes a pixel: this many pixels is about 100 MB, more than any screen shows.
inline constexpr std::uint64_t kMaxImagePixels = 25'000'000;

struct ImageLimits {
    std::chrono::milliseconds timeout;
    std::size_t maxBytes;
};

// Fetches the image at `link` with a GET through `http`. The completion runs exactly once with the image's
// bytes, or with none, after one console line "Unable to load data: <why>", when the link is not an http or
// https address (at once, on the caller's thread), the exchange failed, the status was not 2xx, the body is
// not a PNG, JPEG, GIF or WebP image, or the image declares more than kMaxImagePixels. Otherwise it runs on
// the thread `http` completes on.
void downloadImage(Http& http, const std::string& link, ImageLimits limits,
                   std::function<void(std::optional<Data> image)> completion);

}  // namespace fenk
