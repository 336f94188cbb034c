#include "adapters/linux/LinuxDevice.h"

#include "adapters/linux/CalendarSettings.h"
#include "adapters/linux/OsRelease.h"

#include <sys/utsname.h>

#include <cstring>
#include <fstream>
#include <sstream>

namespace fenk {
namespace {

// A fixed-size field of the kernel's answer, up to its first zero byte.
template <std::size_t size>
std::string fieldText(const char (&field)[size]) {
    return std::string(field, strnlen(field, size));
}

// The distribution's version. The first os-release file that exists is the only one consulted, as the
// format's own rules say; without a version there, the kernel release stands in.
std::string readSystemVersion(const std::string& kernelRelease) {
    for (const char* path : {"/etc/os-release", "/usr/lib/os-release"}) {
        std::ifstream file(path);
        if (!file) continue;
        std::ostringstream text;
        text << file.rdbuf();
        return osReleaseVersion(text.str()).value_or(kernelRelease);
    }
    return kernelRelease;
}

}  // namespace

struct LinuxDevice::KernelFacts {
    std::string machine;
    std::string release;

    static KernelFacts read() {
        utsname names{};
        if (uname(&names) != 0) return {};
        return {fieldText(names.machine), fieldText(names.release)};
    }
};

LinuxDevice::LinuxDevice() : LinuxDevice(KernelFacts::read()) {}

LinuxDevice::LinuxDevice(const KernelFacts& kernel)
    : hardwareModel_(kernel.machine), systemVersion_(readSystemVersion(kernel.release)) {}

std::string LinuxDevice::hardwareModel() const { return hardwareModel_; }

std::string LinuxDevice::systemVersion() const { return systemVersion_; }

std::optional<Carrier> LinuxDevice::carrier() const {
    std::lock_guard lock(mutex_);
    return carrier_;
}

std::string LinuxDevice::advertisingIdentifier() const {
    std::lock_guard lock(mutex_);
    return advertisingIdentifier_;
}

TrackingAuthorizationStatus LinuxDevice::trackingAuthorizationStatus() const {
    std::lock_guard lock(mutex_);
    return trackingAuthorizationStatus_;
}

SystemVersionLevel LinuxDevice::systemVersionLevel() const { return kSystemVersionLevel; }

std::string LinuxDevice::timeZoneIdentifier() const { return fenk::timeZoneIdentifier(CalendarSources::read()); }

std::string LinuxDevice::localeIdentifier() const { return fenk::localeIdentifier(CalendarSources::read()); }

void LinuxDevice::setCarrier(std::optional<Carrier> carrier) {
    std::lock_guard lock(mutex_);
    carrier_ = std::move(carrier);
}

void LinuxDevice::setAdvertisingIdentifier(std::string identifier) {
    std::lock_guard lock(mutex_);
    advertisingIdentifier_ = std::move(identifier);
}

void LinuxDevice::setTrackingAuthorizationStatus(TrackingAuthorizationStatus status) {
    std::lock_guard lock(mutex_);
    trackingAuthorizationStatus_ = status;
}

}  // namespace fenk
