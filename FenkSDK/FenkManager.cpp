#include "FenkSDK/FenkManager.h"

#include "FenkSDK/UserDefault.h"
#include "FenkSDK/engagement/AdvertisingConsent.h"
#include "FenkSDK/engagement/ContentPresenter.h"
#include "FenkSDK/engagement/ExtraDataText.h"
#include "FenkSDK/engagement/GroupCalls.h"
#include "FenkSDK/engagement/LegalParameters.h"
#include "FenkSDK/engagement/LocalNotice.h"
#include "FenkSDK/engagement/PushIntake.h"
#include "FenkSDK/engagement/RedirectLink.h"
#include "FenkSDK/engagement/TrackingStartCheck.h"
#include "FenkSDK/engagement/UserPermissions.h"
#include "FenkSDK/engagement/UserProfileCalls.h"
#include "FenkSDK/location/LocationManager.h"
#include "FenkSDK/location/LocationNotifications.h"
#include "FenkSDK/location/PositionHistory.h"
#include "FenkSDK/location/PositionPipeline.h"
#include "FenkSDK/location/PositionUploader.h"
#include "FenkSDK/location/Timestamp.h"
#include "FenkSDK/location/TrackingStarter.h"
#include "FenkSDK/net/ConnectionMonitor.h"
#include "FenkSDK/net/FenkReachability.h"
#include "FenkSDK/places/DeviceCalendar.h"
#include "FenkSDK/places/NearbyPlaces.h"
#include "FenkSDK/places/StayAnalysis.h"
#include "FenkSDK/places/UserLocationCheck.h"
#include "FenkSDK/ports/Application.h"
#include "FenkSDK/ports/Dispatcher.h"
#include "FenkSDK/ports/LinkOpener.h"
#include "FenkSDK/ports/Ui.h"
#include "FenkSDK/registration/AccountService.h"
#include "FenkSDK/registration/DeviceIdentifier.h"
#include "FenkSDK/registration/DeviceRegistration.h"
#include "FenkSDK/registration/NotificationTokens.h"
#include "FenkSDK/runtime/Console.h"
#include "FenkSDK/runtime/GuaranteedCompletion.h"
#include "FenkSDK/runtime/WhileAlive.h"
#include "FenkSDK/storage/FenkKeyChain.h"
#include "FenkSDK/ui/NoWindowUi.h"
#include "FenkSDK/ui/PlayerPage.h"

#include <chrono>
#include <mutex>
#include <random>

namespace fenk {
namespace {

std::mutex& sharedMutex() {
    static std::mutex mutex;
    return mutex;
}

std::shared_ptr<FenkManager>& sharedInstance() {
    static std::shared_ptr<FenkManager> instance;
    return instance;
}

}  // namespace

std::shared_ptr<FenkManager> FenkManager::sharedManager() {
    std::lock_guard lock(sharedMutex());
    auto& instance = sharedInstance();
    if (!instance) {
        instance = std::make_shared<FenkManager>(Passkey{}, Environment::current());
        instance->buildComponents();
        instance->observeNotifications();
    }
    return instance;
}

void FenkManager::resetSharedManager() {
    std::shared_ptr<FenkManager> released;
    std::lock_guard lock(sharedMutex());
    released.swap(sharedInstance());
}

FenkManager::FenkManager(Passkey, Environment environment)
    : environment_(std::move(environment)),
      fenkQueue_(environment_.dispatcher->makeSerialQueue("com.fenk.fenkQueue", QualityOfService::utility)),
      fenkPositionsQueue_(
          environment_.dispatcher->makeSerialQueue("com.fenk.feQPositions", QualityOfService::unspecified)) {
    reachability_ = makeConnectionMonitor(environment_);
    if (!reachability_) {
        // The general internet address is always accepted; should the system still refuse, the manager
        // works on and answers connectivity questions with one-shot monitors.
        Console::print("could not create reachability notifier");
    }
}

void FenkManager::buildComponents() {
    registration_ = makeRegistrationComponents(
        environment_, fenkQueue_, runningRegistration_,
        [environment = environment_] { return fenk::isConnectedToNetwork(environment); },
        whileAlive(weak_from_this(), [](FenkManager& self) { self.checkStartTracking(); }));
    const auto mainQueue = environment_.dispatcher->mainQueue();
    trackingStartCheck_ = std::make_shared<TrackingStartCheck>(TrackingStartCheck::Collaborators{
        .runningRegistration = runningRegistration_,
        .preferences = environment_.preferences,
        .accounts = registration_.accounts,
        .fenkQueue = fenkQueue_,
        .mainQueue = mainQueue,
        .isConnected = connectivityCheck(environment_, reachability_),
        .startTracking = whileAlive(weak_from_this(), [](FenkManager& self) { self.scheduleStartTracking(); }),
        .showPage = [weak = weak_from_this()](const LegalPage& page) {
            const auto self = weak.lock();
            if (!self) return false;
            if (page.step == LegalStep::showLegalScreen) {
                return self->presenter_->presentLegalScreen(page.summaryLink, page.termsLink);
            }
            return self->presenter_->openWebPage(page.termsLink);
        },
    });
    userPermissions_ = std::make_unique<UserPermissions>(UserPermissions::Collaborators{
        .accounts = registration_.accounts,
        .globalQueue = environment_.dispatcher->globalQueue(),
        .isConnected = connectivityCheck(environment_, reachability_),
        .checkStartTracking = whileAlive(weak_from_this(), [](FenkManager& self) { self.checkStartTracking(); }),
    });
    if (environment_.location) {
        tracking_ = std::make_unique<TrackingStarter>(
            TrackingStarter::Collaborators{.preferences = environment_.preferences,
                                           .location = environment_.location,
                                           .application = environment_.application,
                                           .device = environment_.device,
                                           .clock = environment_.dispatcher,
                                           .notificationCenter = environment_.notificationCenter});
    }
    pushIntake_ = std::make_shared<PushIntake>(PushIntake::Collaborators{
        .preferences = environment_.preferences,
        .application = environment_.application,
        .device = environment_.device,
        .mainQueue = environment_.dispatcher->mainQueue(),
        .notificationCenter = environment_.notificationCenter,
        .presentContent = whileAlive(weak_from_this(),
                                     [](FenkManager& self, const FenkPushNotification& content) { self.presentContent(content); }),
        // Without a window there is no in-app browser: the desktop's browser shows the page instead.
        .openWebPage = whileAlive(weak_from_this(),
                                  [](const FenkManager& self, const std::string& link) {
                                      if (self.environment_.ui && self.environment_.ui->hasWindow()) {
                                          self.presenter_->openWebPage(link);
                                      } else if (self.environment_.linkOpener) {
                                          self.environment_.linkOpener->openWebPage(link);
                                      }
                                  }),
    });
    presenter_ = std::make_unique<ContentPresenter>(ContentPresenter::Collaborators{
        .ui = environment_.ui ? environment_.ui : std::make_shared<NoWindowUi>(),
        .http = environment_.http,
        .preferences = environment_.preferences,
        .dispatcher = environment_.dispatcher,
        .notificationCenter = environment_.notificationCenter,
        .browserClosed = whileAlive(weak_from_this(), [](FenkManager& self) { self.safariViewControllerDidFinish(); }),
        .legalScreenGone = [check = std::weak_ptr(trackingStartCheck_)] {
            if (const auto alive = check.lock()) alive->pageGone();
        },
        .playerScriptAddress = environment_.playerScriptAddress.empty() ? std::string(kPlayerScriptAddress)
                                                                        : environment_.playerScriptAddress,
    });
    buildPositionPipeline();
}

void FenkManager::buildPositionPipeline() {
    if (!environment_.uploadQueue) {
        Console::print("no upload queue: positions are not analysed or uploaded");
        return;
    }
    // The location layer is used on the main queue only; the analyses run on the position queue.
    std::function<void(std::string, double, double)> monitorRegion;
    if (tracking_) {
        monitorRegion = [weak = weak_from_this(), mainQueue = environment_.dispatcher->mainQueue()](
                            std::string identifier, double latitude, double longitude) {
            mainQueue->async(whileAlive(weak, [identifier = std::move(identifier), latitude, longitude](FenkManager& self) {
                if (auto* manager = self.locationManager()) manager->monitorRegion(identifier, latitude, longitude);
            }));
        };
    }
    stays_ = std::make_shared<StayAnalysis>(*environment_.preferences, *environment_.secureStore, *environment_.dispatcher,
                                            *environment_.device, monitorRegion);
    const PlatformTransport transport(environment_.http, environment_.dispatcher);
    uploader_ = std::make_shared<PositionUploader>(
        PositionUploader::Collaborators{
            .positionsQueue = fenkPositionsQueue_,
            .preferences = environment_.preferences,
            .notificationCenter = environment_.notificationCenter,
            .clock = environment_.dispatcher,
            .session = AuthenticationSession(environment_.preferences, transport),
            .transport = transport,
            .isConnected = connectivityCheck(environment_, reachability_),
            .link = [weakReachability = std::weak_ptr(reachability_)]() -> std::optional<ConnectionKind> {
                const auto reachability = weakReachability.lock();
                if (!reachability) return std::nullopt;
                return reachability->connectionKind();
            },
            .placeTag = [stays = stays_](const StoredLocation& record) { return stays->analyseStay(record); },
            .jitterSeed = std::random_device{}(),
        },
        std::make_unique<UploadQueue>(environment_.uploadQueue, *environment_.preferences, *environment_.dispatcher,
                                      UploadQueue::Limits{}));
    const auto notice = std::make_shared<LocalNotice>(environment_.notifications, environment_.http,
                                                      environment_.dispatcher->globalQueue());
    const NearbyPlaces nearbyPlaces(environment_.preferences, transport, environment_.dispatcher->globalQueue(),
                                    [notice](const std::optional<std::string>& message,
                                             const std::optional<std::string>& iconLink,
                                             const std::optional<std::string>& link) {
                                        notice->scheduleLocalNotification(message, iconLink, link);
                                    });
    pipeline_ = std::make_shared<PositionPipeline>(PositionPipeline::Collaborators{
        .positionsQueue = fenkPositionsQueue_,
        .preferences = environment_.preferences,
        .uploader = uploader_,
        .monitorRegion = std::move(monitorRegion),
        // Offline the request could only fail; the notice of a cell entered offline is not raised later either.
        .requestNearbyPlaces = [nearbyPlaces, isConnected = connectivityCheck(environment_, reachability_)](
                                   double latitude, double longitude) {
            if (!isConnected()) return;
            nearbyPlaces.requestNearbyPlaces(latitude, longitude, [](const NearbyPlaces::Places&) {});
        },
    });
    // What an earlier version left waiting, and what this one left at its last run, goes out first.
    fenkPositionsQueue_->async(whileAlive(std::weak_ptr(uploader_), [](PositionUploader& uploader) { uploader.adoptStoredList(); }));
}

void FenkManager::observeNotifications() {
    auto& center = *environment_.notificationCenter;
    const std::weak_ptr<FenkManager> weak = weak_from_this();
    const auto observe = [&](std::string_view name, const void* object, auto entryPoint) {
        observers_.push_back(center.addObserver(name, object, whileAlive(weak, entryPoint)));
    };

    if (reachability_) {
        observe(FenkReachabilityChanged, reachability_.get(),
                [](FenkManager& self, const Notification& note) { self.reachabilityChanged(note); });
        if (reachability_->startWatching()) Console::print("could not start reachability notifier");
    }
    observe(ApplicationWillResignActiveNotification, nullptr,
            [](FenkManager& self, const Notification&) { self.startBackgroundLocation(); });
    observe(ApplicationDidFinishLaunchingNotification, nullptr,
            [](FenkManager& self, const Notification& note) { self.onDidFinishLaunching(&note); });
    observe(ApplicationWillEnterForegroundNotification, nullptr,
            [](FenkManager& self, const Notification&) { self.startForegroundLocation(); });
    observe(ApplicationDidBecomeActiveNotification, nullptr,
            [](FenkManager& self, const Notification&) { self.didBecomeActive(); });
    observe(ApplicationDidBecomeActiveNotification, nullptr, [](FenkManager& self, const Notification&) {
        self.trackingStartCheck_->activated();
        self.checkStartTracking();
    });
    observe(kPositionReceived, nullptr,
            [](FenkManager& self, const Notification& note) { self.positionReceived(note); });
    observe(kExitRegion, nullptr, [](FenkManager& self, const Notification& note) { self.regionExitNew(note); });
    observe(kEnterRegion, nullptr, [](FenkManager& self, const Notification& note) { self.regionEnterNew(note); });
    observe(kClosePopup, nullptr, [](FenkManager& self, const Notification& note) { self.closePopup(note); });
    observe(kTacShowed, nullptr,
            [](FenkManager& self, const Notification& note) { self.onPresentedTACNotification(note); });
}

FenkManager::~FenkManager() {
    if (reachability_) reachability_->stopWatching();
    for (const auto id : observers_) environment_.notificationCenter->removeObserver(id);
}

bool FenkManager::isConnectedToNetwork() const { return fenk::isConnectedToNetwork(environment_); }

// --- Observer entry points -------------------------------------------------------------------------------

void FenkManager::reachabilityChanged(const Notification& note) {
    const auto monitor = note.object<FenkReachability>();
    if (!monitor || monitor->connectionKind() == ConnectionKind::unavailable) return;
    if (uploader_) uploader_->resend();
}

void FenkManager::onDidFinishLaunching(const Notification* notification) {
    const UserInfo noOptions;
    const UserInfo& options = notification ? notification->userInfo : noOptions;
    // Relaunched for a location event: the service has positions to hand over.
    if (options.contains(std::string(ApplicationLaunchOptionsLocationKey))) scheduleStartTracking();
    const auto remoteNotification = options.find(std::string(ApplicationLaunchOptionsRemoteNotificationKey));
    launchedNotification_ = remoteNotification != options.end();
    if (launchedNotification_) {
        onMainQueue([payload = remoteNotification->second](const FenkManager& self) {
            self.pushIntake_->launchedFromNotification(payload);
        });
    }
}

// A process launched from a notification shows that one: what waited stays for a later launch.
void FenkManager::didBecomeActive() {
    if (launchedNotification_) return;
    onMainQueue([](const FenkManager& self) { self.pushIntake_->showPendingNotification(); });
}

void FenkManager::checkStartTracking() {
    fenkQueue_->async(whileAlive(std::weak_ptr(trackingStartCheck_), [](TrackingStartCheck& check) { check.run(); }));
}

// --- Tracking --------------------------------------------------------------------------------------------

void FenkManager::startTracking() {
    if (tracking_) tracking_->startTracking();
}

void FenkManager::scheduleStartTracking() {
    environment_.dispatcher->mainQueue()->async(
        whileAlive(weak_from_this(), [](FenkManager& self) { self.startTracking(); }));
}

// The host may announce its lifecycle from any thread; the location service is used on the main queue only.
void FenkManager::onMainQueue(std::function<void(FenkManager&)> step) {
    const auto mainQueue = environment_.dispatcher->mainQueue();
    if (mainQueue->isCurrent()) {
        step(*this);
    } else {
        mainQueue->async(whileAlive(weak_from_this(), std::move(step)));
    }
}

void FenkManager::startBackgroundLocation() {
    onMainQueue([](FenkManager& self) {
        if (self.tracking_) self.tracking_->startBackgroundLocation();
    });
}

void FenkManager::startForegroundLocation() {
    onMainQueue([](FenkManager& self) {
        if (self.tracking_) self.tracking_->startForegroundLocation();
    });
}

LocationManager* FenkManager::locationManager() const { return tracking_ ? tracking_->locationManager() : nullptr; }
VisitTracker* FenkManager::visitTracker() const { return tracking_ ? tracking_->visitTracker() : nullptr; }

void FenkManager::positionReceived(const Notification& notification) {
    const auto record = notification.object<StoredLocation>();
    if (record && pipeline_) pipeline_->analysePosition(*record);
}

void FenkManager::regionEnterNew(const Notification& notification) { positionReceived(notification); }

void FenkManager::regionExitNew(const Notification& notification) {
    const auto identifier = notification.userInfo.find("identifier");
    const auto date = notification.userInfo.find("date");
    if (!pipeline_ || identifier == notification.userInfo.end() || date == notification.userInfo.end()) return;
    const auto* name = std::any_cast<std::string>(&identifier->second);
    const auto* instant = std::any_cast<Timestamp>(&date->second);
    if (name && instant) pipeline_->regionExit(*name, *instant);
}

// Closes the screen the notification names, or the top-most one. Anyone may post it, from any thread.
void FenkManager::closePopup(const Notification& notification) {
    std::optional<ScreenId> id;
    if (const auto named = notification.userInfo.find(std::string(kClosePopupScreenKey));
        named != notification.userInfo.end()) {
        if (const auto* screen = std::any_cast<ScreenId>(&named->second)) id = *screen;
    }
    onMainQueue([id](FenkManager& self) { self.presenter_->closePopup(id); });
}

// The user accepted the terms on the legal screen, which the notification names.
void FenkManager::onPresentedTACNotification(const Notification& notification) {
    std::optional<ScreenId> id;
    if (const auto named = notification.userInfo.find(std::string(kClosePopupScreenKey));
        named != notification.userInfo.end()) {
        if (const auto* screen = std::any_cast<ScreenId>(&named->second)) id = *screen;
    }
    onMainQueue([id](FenkManager& self) {
        const auto today = DeviceCalendar(*self.environment_.device)
                               .dayText(timestampFromSystemTime(self.environment_.dispatcher->now()));
        if (today) {
            self.environment_.preferences->setString(settingsKeys::kKeyFenkCheckedDate, *today);
            self.environment_.preferences->synchronize();
        }
        self.trackingStartCheck_->pageGone();
        self.presenter_->closePopup(id);
    });
}

bool FenkManager::isChecking() const { return trackingStartCheck_->isChecking(); }

void FenkManager::presentContent(const FenkPushNotification& notification) { presenter_->presentContent(notification); }
void FenkManager::openWebPage(const std::optional<std::string>& link) { presenter_->openWebPage(link); }
FenkToasts& FenkManager::toasts() { return presenter_->toasts(); }

void FenkManager::safariViewControllerDidCompleteInitialLoad(bool) {}

void FenkManager::safariViewControllerDidFinish() {
    trackingStartCheck_->pageGone();
    environment_.dispatcher->mainQueue()->asyncAfter(
        std::chrono::seconds(1), whileAlive(weak_from_this(), [](FenkManager& self) { self.checkStartTracking(); }));
}

// --- Legal terms and permissions ---------------------------------------------------------------------------

void FenkManager::legalPermissions() {
    const auto update =
        LegalParameters::read(UserDefault(*environment_.preferences).getDataArray<FG_Extra>(settingsKeys::kFenkAppParameters), false)
            .legalUpdate;
    if (!update) return;
    onMainQueue([link = redirectLink(*update, *environment_.preferences)](FenkManager& self) { self.presenter_->openWebPage(link); });
}

void FenkManager::getUserPermission(std::optional<std::string> permission,
                                    std::function<void(std::optional<std::string>)> completion) {
    userPermissions_->getUserPermission(std::move(permission),
                                        [completion = std::move(completion)](std::string answer) { completion(std::move(answer)); });
}

void FenkManager::setUserPermission(std::string permission, bool value, std::function<void(bool)> completion) {
    userPermissions_->setUserPermission(std::move(permission), value, std::move(completion));
}

void FenkManager::getAdIdWithPermissionWithCompletion(std::function<void(std::string)> completion) {
    completeOn(*environment_.dispatcher->globalQueue(), std::move(completion), advertisingIdWithConsent(*environment_.device));
}

// --- Registration ---------------------------------------------------------------------------------------

void FenkManager::registerDevice(std::string appKey, std::string platform, bool trackingActive,
                                 std::function<void(std::optional<std::string>)> completion) {
    registration_.registration->registerDevice(std::move(appKey), std::move(platform), trackingActive,
                                               std::move(completion));
}
void FenkManager::setNotificationsToken(std::optional<std::string> notificationsToken,
                                        std::function<void(bool)> completion) {
    registration_.tokens->setNotificationsToken(std::move(notificationsToken), std::move(completion));
}
void FenkManager::setDataNotificationsToken(std::optional<Data> deviceToken, std::function<void(bool)> completion) {
    registration_.tokens->setDataNotificationsToken(deviceToken, std::move(completion));
}
std::optional<std::string> FenkManager::getDeviceID() {
    FenkKeyChain keyChain(*environment_.secureStore);
    return fenk::getDeviceID(keyChain);
}

// --- Push intake: on the main queue, where the content shows --------------------------------------------

void FenkManager::handlePushNotification(std::optional<UserInfo> userInfo) {
    if (!userInfo) return;
    onMainQueue([payload = std::move(*userInfo)](const FenkManager& self) { self.pushIntake_->handlePushNotification(payload); });
}

void FenkManager::handlePushNotificationJson(std::string_view json) {
    onMainQueue([text = std::string(json)](const FenkManager& self) { self.pushIntake_->handlePushNotificationJson(text); });
}

// --- Account calls ---------------------------------------------------------------------------------------

GroupCalls FenkManager::groupCalls() const {
    return GroupCalls(environment_.preferences, PlatformTransport(environment_.http, environment_.dispatcher),
                      environment_.dispatcher->globalQueue());
}
UserProfileCalls FenkManager::userProfileCalls() const {
    return UserProfileCalls(environment_.preferences, PlatformTransport(environment_.http, environment_.dispatcher),
                            environment_.dispatcher->globalQueue(), connectivityCheck(environment_, reachability_));
}
void FenkManager::getUserProfile(std::function<void(std::optional<std::vector<FG_UserHabit>>)> completion) {
    userProfileCalls().getUserProfile(std::move(completion));
}
void FenkManager::updateExtraData(std::optional<std::string> strExtraData,
                                  std::function<void(std::optional<std::string>)> completion) {
    // The account service drops work still queued when it is released; the host is answered none then.
    registration_.accounts->updateUser(
        extraDataFields(strExtraData),
        GuaranteedCompletion<std::optional<std::string>>(std::move(completion), std::nullopt,
                                                         environment_.dispatcher->globalQueue()));
}
void FenkManager::listGroups(std::function<void(std::optional<std::vector<FG_GroupData>>)> completion) {
    groupCalls().listGroups(std::move(completion));
}
void FenkManager::subscriptionGroups(std::function<void(std::optional<std::vector<FG_GroupData>>)> completion) {
    groupCalls().subscriptionGroups(std::move(completion));
}
void FenkManager::joinGroup(std::optional<std::string> groupId, std::function<void(bool)> completion) {
    groupCalls().joinGroup(std::move(groupId), std::move(completion));
}
void FenkManager::leaveGroup(std::optional<std::string> groupId, std::function<void(bool)> completion) {
    groupCalls().leaveGroup(std::move(groupId), std::move(completion));
}
void FenkManager::findGroups(std::optional<std::string> byName,
                             std::function<void(std::optional<std::vector<FG_GroupData>>)> completion) {
    groupCalls().findGroups(std::move(byName), std::move(completion));
}
void FenkManager::checkUserLocation(
    std::function<void(std::optional<std::map<std::string, std::string>>)> completionHandler) {
    const UserLocationCheck check(environment_.preferences, PlatformTransport(environment_.http, environment_.dispatcher),
                                  environment_.device, environment_.dispatcher->globalQueue(),
                                  [preferences = environment_.preferences] { return PositionHistory(*preferences).last(); });
    check.checkUserLocation(std::move(completionHandler));
}

}  // namespace fenk
