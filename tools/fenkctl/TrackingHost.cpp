#include "tools/fenkctl/TrackingHost.h"

#include "FenkSDK/FenkManager.h"
#include "FenkSDK/UserDefault.h"
#include "FenkSDK/location/LocationNotifications.h"
#include "FenkSDK/location/StoredLocation.h"
#include "FenkSDK/ports/Application.h"
#include "FenkSDK/ports/Preferences.h"

namespace fenk {

void launchAsTrackingHost(const Environment& environment) {
    // What a registration with tracking on leaves behind; no platform is needed to start tracking.
    environment.preferences->setBoolean(settingsKeys::kFenkActiveTracking, true);
    Environment::install(environment);
    FenkManager::sharedManager();
    environment.application->didFinishLaunching({{std::string(ApplicationLaunchOptionsLocationKey), true}});
    environment.application->didBecomeActive();
}

LocationTally::LocationTally(NotificationCenter& center, EventPrinter& printer) : center_(center) {
    observers_.push_back(center.addObserver(kPositionReceived, nullptr, [this, &printer](const Notification& note) {
        const auto record = note.object<StoredLocation>();
        if (!record) return;
        ++(record->tipo == LocationType::visit ? visits : positions);
        printer.position(*record);
    }));
    observers_.push_back(center.addObserver(kEnterRegion, nullptr, [this](const Notification&) { ++regionEntries; }));
    observers_.push_back(center.addObserver(kExitRegion, nullptr, [this](const Notification&) { ++regionExits; }));
}

LocationTally::~LocationTally() {
    for (const auto id : observers_) center_.removeObserver(id);
}

}  // namespace fenk
