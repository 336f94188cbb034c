#pragma once

#include "FenkSDK/api/FG_GroupData.h"
#include "FenkSDK/api/FG_UserHabit.h"
#include "FenkSDK/engagement/FenkPushNotification.h"
#include "FenkSDK/registration/RegistrationComponents.h"
#include "FenkSDK/runtime/AtomicBoolean.h"
#include "FenkSDK/runtime/Data.h"
#include "FenkSDK/runtime/Environment.h"
#include "FenkSDK/runtime/NotificationCenter.h"

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fenk {

class ContentPresenter;
class DispatchQueue;
class FenkReachability;
class FenkToasts;
class GroupCalls;
class LocationManager;
class NearbyPlaces;
class PositionPipeline;
class PositionUploader;
class PushIntake;
class StayAnalysis;
class TrackingStartCheck;
class TrackingStarter;
class UserPermissions;
class UserProfileCalls;
class VisitTracker;

// The one object through which the host drives the SDK. Most operations hop onto a queue and hand over to
// the component that owns the work; completions run on whatever queue the work finished on.
class FenkManager : public std::enable_shared_from_this<FenkManager> {
    struct Passkey {};

public:
    // The shared instance, created on first use with the installed environment.
    static std::shared_ptr<FenkManager> sharedManager();
    // Releases the shared instance (its teardown runs once nothing else holds it); the next
    // sharedManager() builds a new one. For tests and hosts that unload the SDK.
    static void resetSharedManager();

    FenkManager(Passkey, Environment environment);
    ~FenkManager();
    FenkManager(const FenkManager&) = delete;
    FenkManager& operator=(const FenkManager&) = delete;

    // --- Host operations ---------------------------------------------------------------------------------
    // Binds this installation to a user of the platform at `platform` (scheme, host and optional path; no
    // port). The completion runs once, on an SDK thread, with:
    //   - the user's resource id: the stored one when this installation is known (after refreshing app
    //     parameters, account and device facts when online), else the one the platform created. When the
    //     platform answers a creation with a ticket and then yields no account, the id the ticket's
    //     authentication named stands in, else the empty text;
    //   - "Error parsing URL" or "Error: insert a valid appKey" for a bad argument;
    //   - "Not connected to Internet" for an unknown installation while offline;
    //   - the empty text when the platform did not create the user (no reply, one that cannot be read, or
    //     one whose id is empty, too long or holds control characters), and when the manager is released
    //     before the registration ends.
    void registerDevice(std::string appKey, std::string platform, bool trackingActive,
                        std::function<void(std::optional<std::string>)> completion);
    // Hands the platform the push token (absent clears it); kept until a registration can send it. True
    // unless the platform refused it, or the manager was released before it answered.
    void setNotificationsToken(std::optional<std::string> notificationsToken, std::function<void(bool)> completion);
    // The same with the token's bytes, sent as lower-case hexadecimal; false when absent.
    void setDataNotificationsToken(std::optional<Data> deviceToken, std::function<void(bool)> completion);
    // This installation's identifier, kept in the secure store so that it survives reinstallation.
    std::optional<std::string> getDeviceID();
    // A remote notification's payload, delivered while running or tapped by the user, from any thread. A link
    // payload ("gType" "d2s-notification", as an opened nearby-place notice carries too) opens its http(s)
    // link: in the in-app browser over the host's window, else in the desktop's browser. Content with an
    // "aps" block is shown at once; silent content ("content-available" true) is dropped while the
    // application is active and otherwise shown at a later activation, one per activation, oldest first
    // (at most 64 wait). Payloads that are not JSON objects of at most 64 KiB and 32 levels are ignored.
    void handlePushNotification(std::optional<UserInfo> userInfo);
    // The same with the payload as JSON text; text that is not one is ignored with a console line.
    void handlePushNotificationJson(std::string_view json);
    // Opens the owner's page announcing changed legal terms ("userLegalUpdate") in the in-app browser.
    void legalPermissions();
    // The user's answer to a permission question as the account holds it; the empty text when none is known.
    // Completes on an SDK thread.
    void getUserPermission(std::optional<std::string> permission,
                           std::function<void(std::optional<std::string>)> completion);
    // Stores the user's answer on the platform; true when it took it. Allowing "permissionTracking" runs the
    // tracking check again. Completes on an SDK thread.
    void setUserPermission(std::string permission, bool value, std::function<void(bool)> completion);
    // The advertising identifier as the user's tracking decision allows (see advertisingIdWithConsent).
    void getAdIdWithPermissionWithCompletion(std::function<void(std::string)> completion);
    // The account calls return at once and complete exactly once, on an SDK thread. The user's habits: the
    // stored ones at once when there are any (fetched anew behind them), else the platform's when online, the
    // empty list when it did not answer, and none offline.
    void getUserProfile(std::function<void(std::optional<std::vector<FG_UserHabit>>)> completion);
    // Sends "k:v,k2:v2" as the user's extra fields (see extraDataFields); the platform's response ("OK"),
    // "ERROR" when the device is not registered, none without a readable reply.
    void updateExtraData(std::optional<std::string> strExtraData,
                         std::function<void(std::optional<std::string>)> completion);
    // The groups: their list (none unless the platform said "OK"), true once joined or left.
    void listGroups(std::function<void(std::optional<std::vector<FG_GroupData>>)> completion);
    void subscriptionGroups(std::function<void(std::optional<std::vector<FG_GroupData>>)> completion);
    void joinGroup(std::optional<std::string> groupId, std::function<void(bool)> completion);
    void leaveGroup(std::optional<std::string> groupId, std::function<void(bool)> completion);
    void findGroups(std::optional<std::string> byName,
                    std::function<void(std::optional<std::vector<FG_GroupData>>)> completion);
    // The city, region and country of the latest stored position, as the platform names them ("city",
    // "region", "country"); none without a stored position, an authentication record or a readable reply.
    // Completes on an SDK thread.
    void checkUserLocation(std::function<void(std::optional<std::map<std::string, std::string>>)> completionHandler);
    // Shows push content over the host's window (a toast, an image, a video or the online player), and opens
    // an http(s) link in the in-app browser. Nothing shows without a window. Main queue.
    void presentContent(const FenkPushNotification& notification);
    void openWebPage(const std::optional<std::string>& link);
    // The toasts over the host's window, for the host's own messages too. Main queue.
    FenkToasts& toasts();
    // The in-app browser reports its first load (nothing to do) and its closing.
    void safariViewControllerDidCompleteInitialLoad(bool didLoadSuccessfully);
    void safariViewControllerDidFinish();

    // Whether the internet can be reached now, read once from the system.
    bool isConnectedToNetwork() const;

    // --- Observer entry points ---------------------------------------------------------------------------
    void reachabilityChanged(const Notification& note);
    void startBackgroundLocation();
    void onDidFinishLaunching(const Notification* notification);
    void startForegroundLocation();
    void didBecomeActive();
    void checkStartTracking();
    void positionReceived(const Notification& notification);
    void regionExitNew(const Notification& notification);
    void regionEnterNew(const Notification& notification);
    void closePopup(const Notification& notification);
    void onPresentedTACNotification(const Notification& notification);

    // --- Tracking (nothing happens when the environment has no location service) ------------------------
    // Starts acquisition when the stored tracking flag is set and stops it when it is cleared. Main queue.
    void startTracking();
    // Runs startTracking on the main queue, later.
    void scheduleStartTracking();

    // --- Inspection, for tests and hosts that look into the SDK ------------------------------------------
    const std::shared_ptr<FenkReachability>& reachability() const { return reachability_; }
    const std::shared_ptr<DispatchQueue>& fenkQueue() const { return fenkQueue_; }
    const std::shared_ptr<DispatchQueue>& fenkPositionsQueue() const { return fenkPositionsQueue_; }
    const AtomicBoolean& runningRegistration() const { return *runningRegistration_; }
    bool launchedNotification() const { return launchedNotification_; }
    // A legal check runs or its page is on screen.
    bool isChecking() const;
    // Absent when the environment keeps no upload queue.
    const PositionPipeline* positionPipeline() const { return pipeline_.get(); }
    const PositionUploader* positionUploader() const { return uploader_.get(); }
    const ContentPresenter& presenter() const { return *presenter_; }
    // Absent until tracking first starts; main queue only.
    LocationManager* locationManager() const;
    VisitTracker* visitTracker() const;

private:
    // Both need the manager owned by its shared pointer: the components reach back through a weak one.
    void buildComponents();
    void observeNotifications();
    void onMainQueue(std::function<void(FenkManager&)> step);
    void buildPositionPipeline();
    // Built per call: they carry no state but the settings.
    GroupCalls groupCalls() const;
    UserProfileCalls userProfileCalls() const;

    Environment environment_;
    std::shared_ptr<FenkReachability> reachability_;
    // Written from the main queue and the work queue, hence atomic.
    std::atomic<bool> launchedNotification_{false};
    // Shared with the registration components, whose replies may arrive while the manager is released.
    std::shared_ptr<AtomicBoolean> runningRegistration_ = std::make_shared<AtomicBoolean>(false);
    std::shared_ptr<DispatchQueue> fenkQueue_;
    std::shared_ptr<DispatchQueue> fenkPositionsQueue_;
    RegistrationComponents registration_;
    std::shared_ptr<TrackingStartCheck> trackingStartCheck_;
    std::unique_ptr<UserPermissions> userPermissions_;
    // Absent when the environment has no location service. Used on the main queue; it ends its location
    // sessions with the manager, so a host that tracked releases the manager there too.
    std::unique_ptr<TrackingStarter> tracking_;
    std::shared_ptr<StayAnalysis> stays_;
    std::shared_ptr<PositionUploader> uploader_;
    std::shared_ptr<PositionPipeline> pipeline_;
    // Used on the main queue only.
    std::shared_ptr<PushIntake> pushIntake_;
    // Used on the main queue only.
    std::unique_ptr<ContentPresenter> presenter_;
    std::vector<NotificationCenter::ObserverId> observers_;
};

}  // namespace fenk
