#pragma once

#include "FenkSDK/ports/Application.h"
#include "FenkSDK/runtime/Environment.h"
#include "FenkSDK/runtime/NotificationCenter.h"
#include "adapters/fake/FakeDevice.h"
#include "adapters/fake/FakeDispatcher.h"
#include "adapters/fake/FakeHttp.h"
#include "adapters/fake/FakeReachability.h"
#include "adapters/fake/MemoryPreferences.h"
#include "adapters/fake/MemoryRecordQueue.h"
#include "adapters/fake/MemorySecureStore.h"
#include "adapters/fake/RecordingLinkOpener.h"
#include "adapters/fake/RecordingNotifications.h"
#include "adapters/fake/RecordingUi.h"
#include "adapters/fake/ScriptedLocation.h"

#include <memory>

namespace fenk {

// Every port served by its deterministic fake, each reachable by its own type so a test can script it.
struct FakeEnvironment {
    std::shared_ptr<FakeDispatcher> dispatcher = std::make_shared<FakeDispatcher>();
    std::shared_ptr<NotificationCenter> notificationCenter = std::make_shared<NotificationCenter>();
    std::shared_ptr<MemoryPreferences> preferences = std::make_shared<MemoryPreferences>();
    std::shared_ptr<MemorySecureStore> secureStore = std::make_shared<MemorySecureStore>();
    std::shared_ptr<FakeReachability> reachability = std::make_shared<FakeReachability>();
    std::shared_ptr<Application> application = std::make_shared<Application>(notificationCenter);
    std::shared_ptr<FakeHttp> http = std::make_shared<FakeHttp>(dispatcher);
    std::shared_ptr<FakeDevice> device = std::make_shared<FakeDevice>();
    std::shared_ptr<ScriptedLocation> location = std::make_shared<ScriptedLocation>(dispatcher->mainQueue());
    std::shared_ptr<MemoryRecordQueue> uploadQueue = std::make_shared<MemoryRecordQueue>();
    std::shared_ptr<RecordingNotifications> notifications =
        std::make_shared<RecordingNotifications>(dispatcher->mainQueue());
    std::shared_ptr<RecordingLinkOpener> linkOpener = std::make_shared<RecordingLinkOpener>();
    std::shared_ptr<RecordingUi> ui = std::make_shared<RecordingUi>(dispatcher->mainQueue());

    Environment environment() const {
        return {dispatcher, notificationCenter, preferences, secureStore, reachability, application, http, device, location,
                uploadQueue, notifications, linkOpener, ui, {}};
    }
};

}  // namespace fenk
