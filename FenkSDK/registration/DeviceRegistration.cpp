#include "FenkSDK/registration/DeviceRegistration.h"

#include "FenkSDK/UserDefault.h"
#include "FenkSDK/api/UsableIdentifier.h"
#include "FenkSDK/ports/Device.h"
#include "FenkSDK/ports/Dispatcher.h"
#include "FenkSDK/registration/AccountService.h"
#include "FenkSDK/registration/DeviceIdentifier.h"
#include "FenkSDK/registration/DeviceInformation.h"
#include "FenkSDK/registration/PermittedAdvertisingIdentifier.h"
#include "FenkSDK/registration/PlatformAddress.h"
#include "FenkSDK/registration/RegistrationConstants.h"
#include "FenkSDK/runtime/AtomicBoolean.h"
#include "FenkSDK/storage/FenkKeyChain.h"

#include <utility>

namespace fenk {
namespace {

constexpr std::string_view kErrorParsingUrl = "Error parsing URL";
constexpr std::string_view kInvalidAppKey = "Error: insert a valid appKey";
constexpr std::string_view kNotConnected = "Not connected to Internet";

}  // namespace

DeviceRegistration::DeviceRegistration(Collaborators collaborators)
    : collaborators_(std::move(collaborators)), authentication_(collaborators_.preferences, collaborators_.transport) {}

void DeviceRegistration::registerDevice(std::string appKey, std::string platform, bool trackingActive,
                                        Completion completion) {
    if (!completion) completion = [](std::optional<std::string>) {};
    auto attempt = std::make_shared<const Attempt>(
        Attempt{std::move(appKey), std::move(platform),
                GuaranteedCompletion<std::optional<std::string>>(std::move(completion), std::string(),
                                                                 collaborators_.globalQueue)});
    collaborators_.fenkQueue->async(whileAlive([attempt = std::move(attempt), trackingActive](
                                                   DeviceRegistration& self) { self.start(attempt, trackingActive); }));
}

// --- Phase 1, on the work queue ------------------------------------------------------------------------------

void DeviceRegistration::start(const AttemptPtr& attempt, bool trackingActive) {
    holdRunningFlag();
    // Recorded before any check, so that a rejected registration still sets the host's choice.
    collaborators_.preferences->setBoolean(settingsKeys::kFenkActiveTracking, trackingActive);
    if (!isValidPlatformAddress(attempt->platform)) return abandon(*attempt, std::string(kErrorParsingUrl));
    if (attempt->appKey.empty()) return abandon(*attempt, std::string(kInvalidAppKey));
    storeAccess(*attempt);

    collaborators_.accounts->currentAccount(whileAlive(
        [attempt](DeviceRegistration& self, std::optional<FG_Account> account) { self.decide(attempt, account); }));
}

// --- Phase 2 -------------------------------------------------------------------------------------------------

void DeviceRegistration::decide(const AttemptPtr& attempt, const std::optional<FG_Account>& account) {
    const bool online = collaborators_.isConnectedToNetwork();
    if (account && account->resourceId) {
        if (!online) return abandon(*attempt, *account->resourceId);
        return refreshKnownDevice(attempt, *account->resourceId);
    }
    if (online) return registerNewDevice(attempt);
    abandon(*attempt, std::string(kNotConnected));
}

void DeviceRegistration::refreshKnownDevice(const AttemptPtr& attempt, std::string resourceId) {
    // Whatever the parameters yield, the account and the device facts come next.
    authenticateAndFetchAppParameters(
        *attempt, whileAlive([attempt, resourceId = std::move(resourceId)](DeviceRegistration& self,
                                                                           std::optional<std::vector<FG_Extra>>) {
            self.refreshAccountAndDevice(attempt, resourceId);
        }));
}

void DeviceRegistration::refreshAccountAndDevice(const AttemptPtr& attempt, std::string resourceId) {
    if (!collaborators_.isConnectedToNetwork()) return finishRegistration(*attempt, std::move(resourceId));
    collaborators_.accounts->refreshAccountInfo(whileAlive(
        [attempt, resourceId = std::move(resourceId)](DeviceRegistration& self, std::optional<FG_Account> refreshed) {
            self.collaborators_.accounts->updateDeviceInfo(
                refreshed, self.whileAlive([attempt, resourceId](DeviceRegistration& live, std::optional<std::string>) {
                    live.finishRegistration(*attempt, resourceId);
                }));
        }));
}

// --- New device ----------------------------------------------------------------------------------------------

void DeviceRegistration::registerNewDevice(const AttemptPtr& attempt) {
    storeAccess(*attempt);
    FG_Authenticate fresh{.platform = attempt->platform, .version = std::string(kAuthenticationVersion)};
    authentication_.authenticateSession(std::move(fresh), attempt->appKey,
                                        whileAlive([attempt](DeviceRegistration& self, FG_Authenticate authentication,
                                                             std::optional<FG_AuthenticateBean>) {
                                            // Whatever the platform answered: the creation's own reply decides.
                                            self.createAnonymousUser(attempt, std::move(authentication));
                                        }));
}

void DeviceRegistration::createAnonymousUser(const AttemptPtr& attempt, FG_Authenticate authentication) {
    const Device& device = *collaborators_.device;
    FenkKeyChain keyChain(*collaborators_.secureStore);
    const FG_SoaApiUser_CreateAnonymousParametersIn parameters{
        .i_extra = deviceInformation(permittedAdvertisingIdentifier(device), device.carrier()),
        .i_version = device.systemVersion(),
        .i_deviceId = getDeviceID(keyChain),
        // A token the host gave before the user existed would otherwise wait for the next launch.
        .i_notificationsToken = collaborators_.preferences->string(settingsKeys::kKeyNotificationsToken),
        .i_device = device.hardwareModel(),
        .i_platform = std::string(kPlatformName)};
    FG_SoaApiUser_CreateAnonymousService(collaborators_.transport)
        .call(parameters, authentication,
              whileAlive([attempt, authentication](DeviceRegistration& self,
                                                   std::optional<FG_SoaApiUser_CreateAnonymousParametersOut> reply) {
                  self.userCreated(attempt, authentication, std::move(reply));
              }));
}

void DeviceRegistration::userCreated(const AttemptPtr& attempt, FG_Authenticate authentication,
                                     std::optional<FG_SoaApiUser_CreateAnonymousParametersOut> reply) {
    if (!reply) return finishRegistration(*attempt, std::string());
    const auto& preferences = collaborators_.preferences;
    // A readable reply is never judged by its `response`: only what it carries decides the path. An id or
    // token that cannot be used counts as one it did not carry.
    if (auto resourceId = reply->data ? usableOrNone(reply->data->resourceId) : std::nullopt) {
        preferences->setString(settingsKeys::kKeyResourceId, resourceId);
        preferences->setString(settingsKeys::kKeyRefreshToken, usableOrNone(reply->data->refreshToken, kTokenLimit));
        collaborators_.accounts->refreshAccountInfo(whileAlive(
            [attempt, resourceId = std::move(*resourceId)](DeviceRegistration& self, std::optional<FG_Account>) {
                self.finishRegistration(*attempt, resourceId);
                self.refreshAppParametersIfOnline(attempt);
            }));
        return;
    }
    preferences->setString(settingsKeys::kKeyRefreshToken, usableOrNone(reply->ticket, kTokenLimit).value_or(""));
    authenticateWithTicket(attempt, std::move(authentication));
}

void DeviceRegistration::authenticateWithTicket(const AttemptPtr& attempt, FG_Authenticate authentication) {
    authentication_.authenticateSession(
        std::move(authentication), attempt->appKey,
        whileAlive([attempt](DeviceRegistration& self, FG_Authenticate, std::optional<FG_AuthenticateBean> reply) {
            // The host needs a resource id: the account read back names the user; when it cannot be read,
            // the id the ticket's authentication handed out (and stored) does; with neither the host gets
            // the empty text, as for a creation that failed.
            self.collaborators_.accounts->refreshAccountInfo(self.whileAlive(
                [attempt, named = namedUser(reply)](DeviceRegistration& live, std::optional<FG_Account> account) {
                    live.finishRegistration(*attempt,
                                            account && account->resourceId ? *account->resourceId : named.value_or(""));
                    live.refreshAppParametersIfOnline(attempt);
                }));
        }));
}

void DeviceRegistration::refreshAppParametersIfOnline(const AttemptPtr& attempt) {
    if (!collaborators_.isConnectedToNetwork()) return;
    authenticateAndFetchAppParameters(*attempt, [](std::optional<std::vector<FG_Extra>>) {});
}

void DeviceRegistration::authenticateAndFetchAppParameters(const Attempt& attempt,
                                                           AccountService::AppParametersCompletion completion) {
    authentication_.authenticateSession(
        authentication_.storedRecord(), attempt.appKey,
        whileAlive([completion = std::move(completion)](DeviceRegistration& self, FG_Authenticate authentication,
                                                        std::optional<FG_AuthenticateBean>) {
            self.collaborators_.accounts->fetchAppParameters(std::move(authentication), completion);
        }));
}

void DeviceRegistration::storeAccess(const Attempt& attempt) {
    collaborators_.preferences->setString(settingsKeys::kKeyAppKey, attempt.appKey);
    collaborators_.preferences->setString(settingsKeys::kKeyUrlPlatformUrl, attempt.platform);
}

// --- Ends ----------------------------------------------------------------------------------------------------

void DeviceRegistration::finishRegistration(const Attempt& attempt, std::string result) {
    releaseRunningFlag();
    attempt.completion(std::move(result));
    collaborators_.checkStartTracking();
}

void DeviceRegistration::abandon(const Attempt& attempt, std::string result) {
    releaseRunningFlag();
    attempt.completion(std::move(result));
}

void DeviceRegistration::holdRunningFlag() {
    std::lock_guard lock(inFlightMutex_);
    ++inFlight_;
    collaborators_.runningRegistration->set(true);
}

void DeviceRegistration::releaseRunningFlag() {
    std::lock_guard lock(inFlightMutex_);
    if (--inFlight_ == 0) collaborators_.runningRegistration->set(false);
}

}  // namespace fenk
