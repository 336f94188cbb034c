#include "adapters/linux/DataFolder.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fenk {
namespace {

std::filesystem::path homeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) {
        return home;
    }
    // Services started without a login environment have no HOME; the password database still knows it.
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir) {
        return found->pw_dir;
    }
    return {};
}

bool isFolder(const std::filesystem::path& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

std::filesystem::path fenkDataFolder() {
    if (const char* dataHome = std::getenv("XDG_DATA_HOME"); dataHome && *dataHome == '/') {
        return std::filesystem::path(dataHome) / "fenk";
    }
    return homeFolder() / ".local" / "share" / "fenk";
}

bool makePrivateFolder(const std::filesystem::path& folder) {
    if (folder.empty() || isFolder(folder)) {
        return true;
    }
    if (!makePrivateFolder(folder.parent_path())) {
        return false;
    }
    if (::mkdir(folder.c_str(), 0700) == 0) {
        // The umask may only have narrowed the mode; make it exactly user-only.
        return ::chmod(folder.c_str(), 0700) == 0;
    }
    return errno == EEXIST && isFolder(folder);
}

bool syncFolder(const std::filesystem::path& folder) {
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) {
        return false;
    }
    const bool synced = ::fsync(descriptor) == 0;
    ::close(descriptor);
    return synced;
}

}  // namespace fenk
