#include "adapters/linux/FileSecureStore.h"

#include "FenkSDK/runtime/Console.h"
#include "FenkSDK/runtime/Data.h"
#include "adapters/linux/DataFolder.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fenk {
namespace {

// Item files end in this suffix; temporary files never do, and no item name can be "." or "..".
constexpr std::string_view kItemSuffix = ".item";
constexpr std::string_view kTemporaryInfix = ".tmp-XXXXXX";

bool isPlainNameCharacter(char character) {
    return (character >= 'a' && character <= 'z') || (character >= 'A' && character <= 'Z') ||
           (character >= '0' && character <= '9') || character == '-' || character == '_' || character == '.';
}

// Every byte outside letters, digits and "-_." becomes %XX, so the mapping is one-to-one and the result
// holds no separator.
std::string fileNameFor(std::string_view account) {
    std::string name;
    for (const char character : account) {
        if (isPlainNameCharacter(character)) {
            name += character;
            continue;
        }
        name += '%';
        appendHexByte(name, static_cast<std::uint8_t>(character), HexDigits::upper);
    }
    return name.append(kItemSuffix);
}

bool writeAll(int descriptor, const Data& data) {
    std::size_t written = 0;
    while (written < data.size()) {
        const auto count = ::write(descriptor, data.data() + written, data.size() - written);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;
        }
        written += static_cast<std::size_t>(count);
    }
    return true;
}

std::optional<Data> readAll(int descriptor) {
    Data data;
    std::uint8_t buffer[4096];
    for (;;) {
        const auto count = ::read(descriptor, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return std::nullopt;
        }
        if (count == 0) {
            return data;
        }
        data.insert(data.end(), buffer, buffer + count);
    }
}

}  // namespace

FileSecureStore::FileSecureStore(std::filesystem::path folder) : folder_(std::move(folder)) {}

std::filesystem::path FileSecureStore::itemPath(std::string_view account) const {
    return folder_ / fileNameFor(account);
}

std::optional<Data> FileSecureStore::load(std::string_view account) const {
    const int descriptor = ::open(itemPath(account).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (descriptor < 0) {
        return std::nullopt;
    }
    auto data = readAll(descriptor);
    ::close(descriptor);
    return data;
}

bool FileSecureStore::contains(std::string_view account) const {
    // Asking needs no descriptor; only a definite "no such file" proves the item missing.
    struct stat status {};
    return ::lstat(itemPath(account).c_str(), &status) == 0 || errno != ENOENT;
}

bool FileSecureStore::save(std::string_view account, const Data& data) {
    const auto target = itemPath(account);
    if (!makePrivateFolder(folder_)) {
        Console::print("Fenk: cannot create the secure store folder " + folder_.string());
        return false;
    }
    // mkstemp makes the file 0600 and gives every concurrent save of the same account its own file.
    std::string temporary = target.string().append(kTemporaryInfix);
    const int descriptor = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (descriptor < 0) {
        Console::print("Fenk: cannot save secure item " + target.filename().string() + ": " + std::strerror(errno));
        return false;
    }
    const bool written = writeAll(descriptor, data) && ::fsync(descriptor) == 0;
    const bool closed = ::close(descriptor) == 0;
    if (!written || !closed || ::rename(temporary.c_str(), target.c_str()) != 0) {
        Console::print("Fenk: cannot save secure item " + target.filename().string() + ": " + std::strerror(errno));
        ::unlink(temporary.c_str());
        return false;
    }
    // The rename has replaced the item: a later read finds the new one. Reporting failure now would have the
    // caller treat a saved item as lost; only its survival through a power cut is in doubt.
    if (!syncFolder(folder_)) {
        Console::print("Fenk: saved secure item " + target.filename().string() + ", but could not flush its folder " +
                       folder_.string() + " to the disk");
    }
    return true;
}

void FileSecureStore::remove(std::string_view account) {
    if (::unlink(itemPath(account).c_str()) == 0) {
        syncFolder(folder_);
    }
}

}  // namespace fenk
