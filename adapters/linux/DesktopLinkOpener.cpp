#include "adapters/linux/DesktopLinkOpener.h"

#include "FenkSDK/runtime/Console.h"
#include "adapters/linux/DesktopBus.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace fenk {
namespace {

// Empty when the portal took the address, else why not.
std::string askPortal(const std::optional<std::string>& busAddress, const std::string& url) {
    int result = 0;
    const auto bus = connectSessionBus(busAddress, result);
    if (!bus) return "no session bus (" + describeBusFailure(result) + ")";
    BusError error;
    sd_bus_message* reply = nullptr;
    result = sd_bus_call_method(bus.get(), "org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
                                "org.freedesktop.portal.OpenURI", "OpenURI", &error.error, &reply, "ssa{sv}", "",
                                url.c_str(), 0);
    const BusMessagePtr owned(reply);
    return result < 0 ? "the desktop portal: " + describeBusFailure(result, &error.error) : "";
}

// Empty when the program ran and succeeded, else why not.
std::string runProgram(const std::string& program, const std::string& url) {
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    // The program needs none of the SDK's sockets and files.
    ::posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    const char* arguments[] = {program.c_str(), url.c_str(), nullptr};
    pid_t child = -1;
    const int spawnError = ::posix_spawnp(&child, program.c_str(), &actions, nullptr,
                                          const_cast<char* const*>(arguments), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    if (spawnError != 0) return program + ": " + std::strerror(spawnError);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return program + ": " + std::strerror(errno);
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return "";
    return program + (WIFEXITED(status) ? " exited with " + std::to_string(WEXITSTATUS(status))
                                        : " ended by signal " + std::to_string(WTERMSIG(status)));
}

}  // namespace

DesktopLinkOpener::DesktopLinkOpener(std::shared_ptr<DispatchQueue> queue, std::optional<std::string> busAddress,
                                     std::string fallbackProgram)
    : queue_(std::move(queue)), busAddress_(std::move(busAddress)), fallbackProgram_(std::move(fallbackProgram)) {}

void DesktopLinkOpener::openWebPage(const std::string& url) {
    queue_->async([busAddress = busAddress_, program = fallbackProgram_, url] {
        const auto portalFailure = askPortal(busAddress, url);
        if (portalFailure.empty()) return;
        if (const auto programFailure = runProgram(program, url); !programFailure.empty()) {
            Console::print("Cannot open " + url + ": " + portalFailure + "; " + programFailure);
        }
    });
}

}  // namespace fenk
