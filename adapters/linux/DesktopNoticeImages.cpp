#include "adapters/linux/DesktopNoticeImages.h"

#include "adapters/linux/DataFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

namespace fenk {
namespace {

bool isLetterOrDigit(char character) {
    return (character >= 'a' && character <= 'z') || (character >= 'A' && character <= 'Z') ||
           (character >= '0' && character <= '9');
}

std::string percentEncoded(std::string_view text, std::string_view keptPunctuation) {
    std::string encoded;
    for (const char character : text) {
        if (isLetterOrDigit(character) || keptPunctuation.find(character) != std::string_view::npos) {
            encoded += character;
            continue;
        }
        encoded += '%';
        appendHexByte(encoded, static_cast<std::uint8_t>(character), HexDigits::upper);
    }
    return encoded;
}

bool startsWith(const Data& data, std::size_t offset, std::string_view bytes) {
    return data.size() >= offset + bytes.size() && std::equal(bytes.begin(), bytes.end(), data.begin() + static_cast<std::ptrdiff_t>(offset),
                                                               [](char wanted, std::uint8_t byte) { return static_cast<std::uint8_t>(wanted) == byte; });
}

std::optional<std::string_view> extensionOf(const Data& image) {
    if (startsWith(image, 0, "\x89PNG\r\n\x1a\n")) return ".png";
    if (startsWith(image, 0, "\xff\xd8\xff")) return ".jpg";
    if (startsWith(image, 0, "GIF87a") || startsWith(image, 0, "GIF89a")) return ".gif";
    if (startsWith(image, 0, "RIFF") && startsWith(image, 8, "WEBP")) return ".webp";
    return std::nullopt;
}

bool writeAll(int descriptor, const Data& data) {
    for (std::size_t written = 0; written < data.size();) {
        const auto count = ::write(descriptor, data.data() + written, data.size() - written);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return false;
        written += static_cast<std::size_t>(count);
    }
    return true;
}

}  // namespace

void DesktopNoticeImages::sweep() const {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
        std::filesystem::remove(entry.path(), error);
    }
}

std::optional<std::filesystem::path> DesktopNoticeImages::keep(std::string_view identifier, const Data& image) const {
    const auto extension = extensionOf(image);
    if (!extension || !makePrivateFolder(folder_)) return std::nullopt;
    // Encoding the dot too keeps "." and ".." out, so no identifier names anything outside the folder.
    const auto file = folder_ / (percentEncoded(identifier, "-_") + std::string(*extension));
    const int descriptor = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (descriptor < 0) return std::nullopt;
    // An older file of the same name may have had a wider mode, and the umask may have narrowed this one.
    const bool written = ::fchmod(descriptor, 0600) == 0 && writeAll(descriptor, image);
    const bool closed = ::close(descriptor) == 0;
    if (written && closed) return file;
    forget(file);
    return std::nullopt;
}

void DesktopNoticeImages::forget(const std::filesystem::path& file) {
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
}

std::string fileUri(const std::filesystem::path& path) { return "file://" + percentEncoded(path.string(), "-._~/"); }

}  // namespace fenk
