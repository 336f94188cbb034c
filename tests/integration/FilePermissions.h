#pragma once

#include <filesystem>
#include <sys/stat.h>

namespace fenk {

// The permission bits of a file or folder, or -1 when it does not exist.
inline int permissionsOf(const std::filesystem::path& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 ? static_cast<int>(status.st_mode & 07777) : -1;
}

// Clears the umask for one test, so modes the code sets are not hidden by a restrictive default.
class ClearedUmask {
public:
    ClearedUmask() : previous_(::umask(0)) {}
    ~ClearedUmask() { ::umask(previous_); }
    ClearedUmask(const ClearedUmask&) = delete;
    ClearedUmask& operator=(const ClearedUmask&) = delete;

private:
    mode_t previous_;
};

}  // namespace fenk
