#include "FenkSDK/FenkManager.h"
#include "FenkSDK/runtime/Console.h"
#include "adapters/linux/FileSecureStore.h"
#include "adapters/linux/GpsdLocation.h"
#include "adapters/linux/LinuxEnvironment.h"
#include "adapters/linux/ThreadDispatcher.h"
#include "tools/fenkctl/EventTracing.h"
#include "tools/fenkctl/LocationCommands.h"
#include "tools/fenkctl/TrackingHost.h"

#include <csignal>
#include <ctime>
#include <iostream>

namespace fenk {

int runTrack(const CommandLine& commandLine, const std::filesystem::path& dataFolder, const TrackCommand& track) {
    // Blocked before any thread starts, so every thread inherits the mask and the loop below takes them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    auto environment = makeLinuxEnvironment(dataFolder);
    const auto dispatcher = std::dynamic_pointer_cast<ThreadDispatcher>(environment.dispatcher);
    const auto colon = track.gpsd.rfind(':');
    environment.location = std::make_shared<GpsdLocation>(
        dispatcher->mainQueue(), std::make_shared<FileSecureStore>(dataFolder / "location"),
        track.gpsd.substr(0, colon), track.gpsd.substr(colon + 1));

    EventPrinter printer(commandLine.json ? EventPrinter::Format::json : EventPrinter::Format::plain, std::cout);
    {
        EventTracing tracing(commandLine.json, *environment.notificationCenter, printer);
        LocationTally tally(*environment.notificationCenter, printer);
        launchAsTrackingHost(environment);
        const timespec patience{0, 200'000'000};
        while (!track.count || tally.positions + tally.visits < *track.count) {
            if (sigtimedwait(&stopSignals, nullptr, &patience) > 0) break;
        }
        // Stops tracking: the manager's sessions end with it.
        dispatcher->mainQueue()->sync([] { FenkManager::resetSharedManager(); });
        dispatcher->waitUntilIdle(std::chrono::seconds(10));
    }
    return 0;
}

}  // namespace fenk
