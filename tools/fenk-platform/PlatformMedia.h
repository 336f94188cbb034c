#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace fenk {

// A file the platform serves under "/media/", for notices to point at: "icon.png" (a 16x16 picture),
// "notes.txt" (text, not a picture) and "oversize.png" (11 MiB, more than a device should accept).
struct MediaFile {
    std::string contentType;
    std::string head;  // the first bytes; the rest, up to `size`, are zeros
    std::size_t size = 0;
};

std::optional<MediaFile> mediaFile(std::string_view name);

}  // namespace fenk
