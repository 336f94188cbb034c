#include "FenkSDK/FenkManager.h"
#include "adapters/linux/FileSecureStore.h"
#include "adapters/linux/GpsdLocation.h"
#include "adapters/linux/LinuxEnvironment.h"
#include "adapters/linux/ThreadDispatcher.h"
#include "tools/fenkctl/EventTracing.h"
#include "tools/fenkctl/LocationCommands.h"
#include "tools/fenkctl/TrackingHost.h"

#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <csignal>
#include <iostream>

namespace fenk {
namespace {

// SIGINT and SIGTERM as a descriptor to poll beside the main queue's; blocked in every thread started after.
class StopSignals {
public:
    StopSignals() {
        sigset_t signals;
        sigemptyset(&signals);
        sigaddset(&signals, SIGINT);
        sigaddset(&signals, SIGTERM);
        pthread_sigmask(SIG_BLOCK, &signals, nullptr);
        fd_ = ::signalfd(-1, &signals, SFD_CLOEXEC);
    }
    ~StopSignals() {
        if (fd_ >= 0) ::close(fd_);
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    int fd() const { return fd_; }

private:
    int fd_ = -1;
};

}  // namespace

// This thread is the application's main thread: it announces the lifecycle and then runs the main queue, as
// an application's event loop does, so tracking starts in the state the host announced.
int runTrack(const CommandLine& commandLine, const std::filesystem::path& dataFolder, const TrackCommand& track) {
    const StopSignals stopSignals;
    if (stopSignals.fd() < 0) {
        std::cerr << "fenkctl: cannot watch for interruptions\n";
        return 1;
    }
    auto environment = makeLinuxEnvironment(dataFolder, MainQueueDriver::host);
    const auto dispatcher = std::dynamic_pointer_cast<ThreadDispatcher>(environment.dispatcher);
    const auto colon = track.gpsd.rfind(':');
    environment.location = std::make_shared<GpsdLocation>(
        dispatcher->mainQueue(), std::make_shared<FileSecureStore>(dataFolder / "location"),
        track.gpsd.substr(0, colon), track.gpsd.substr(colon + 1));

    EventPrinter printer(commandLine.json ? EventPrinter::Format::json : EventPrinter::Format::plain, std::cout);
    EventTracing tracing(commandLine.json, *environment.notificationCenter, printer);
    LocationTally tally(*environment.notificationCenter, printer);
    launchAsTrackingHost(environment);
    while (!track.count || tally.positions + tally.visits < *track.count) {
        pollfd ready[2] = {{dispatcher->pollFd(), POLLIN, 0}, {stopSignals.fd(), POLLIN, 0}};
        if (::poll(ready, 2, -1) < 0 && errno != EINTR) break;
        if (ready[1].revents != 0) break;
        dispatcher->drain();
    }
    // Released here, on the main thread: tracking stops with the manager.
    FenkManager::resetSharedManager();
    dispatcher->waitUntilIdle(std::chrono::seconds(10));
    return 0;
}

}  // namespace fenk
