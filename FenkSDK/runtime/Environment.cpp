#include "FenkSDK/runtime/Environment.h"

#include <mutex>
#include <optional>

namespace fenk {
namespace {

std::mutex& environmentMutex() {
    static std::mutex mutex;
    return mutex;
}

std::optional<Environment>& installedEnvironment() {
    static std::optional<Environment> environment;
    return environment;
}

}  // namespace

void Environment::install(Environment environment) {
    std::lock_guard lock(environmentMutex());
    installedEnvironment() = std::move(environment);
}

Environment Environment::current() {
    std::lock_guard lock(environmentMutex());
    auto& environment = installedEnvironment();
    if (!environment) environment = makeDefaultEnvironment();
    return *environment;
}

}  // namespace fenk
