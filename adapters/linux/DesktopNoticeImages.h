#pragma once

#include "FenkSDK/runtime/Data.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace fenk {

// The images of the notices on screen, one private file each (0600, in a 0700 folder), for the notification
// server to read by its path: the server runs in another process and takes no bytes, only a location.
class DesktopNoticeImages {
public:
    explicit DesktopNoticeImages(std::filesystem::path folder) : folder_(std::move(folder)) {}

    // Removes what notices of an earlier run left behind; their server is gone or has let them go.
    void sweep() const;
    // Writes the image of the notice `identifier`, named after it with the extension its signature implies;
    // absent when the image is of no known kind or cannot be written.
    std::optional<std::filesystem::path> keep(std::string_view identifier, const Data& image) const;
    static void forget(const std::filesystem::path& file);

private:
    const std::filesystem::path folder_;
};

// The file: URI of an absolute path, every byte outside letters, digits, "-._~" and "/" percent-encoded.
std::string fileUri(const std::filesystem::path& path);

}  // namespace fenk
