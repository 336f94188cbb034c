#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace fenk {

// A file the platform serves under "/media/", for notices and pushed content to point at, all made here:
//   icon.png              a 16x16 picture
//   notes.txt             text, not a picture
//   oversize.png          11 MiB, more than a device should accept
//   poster-portrait.png   360x640, a dusk scene (warm sky)
//   poster-landscape.png  640x360, a day scene (blue sky)
//   clip.avi              2 s of uncompressed 160x120 video at 15 frames a second, a ball bouncing over hills
//   tone.wav              2 s of a soft 440 Hz tone, 16-bit mono at 16 kHz
//   player.js             a stand-in for the online video player's script (see PlayerScript)
struct MediaFile {
    std::string contentType;
    std::string head;  // the first bytes; the rest, up to `size`, are zeros
    std::size_t size = 0;
};

std::optional<MediaFile> mediaFile(std::string_view name);

}  // namespace fenk
