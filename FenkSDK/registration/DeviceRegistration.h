#pragma once

#include "FenkSDK/api/FG_Account.h"
#include "FenkSDK/api/FG_Authenticate.h"
#include "FenkSDK/api/PlatformTransport.h"
#include "FenkSDK/api/ServiceCatalogue.h"
#include "FenkSDK/registration/AccountService.h"
#include "FenkSDK/registration/AuthenticationSession.h"
#include "FenkSDK/runtime/GuaranteedCompletion.h"
#include "FenkSDK/runtime/WhileAlive.h"

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

namespace fenk {

class AtomicBoolean;
class Device;
class DispatchQueue;
class Preferences;
class SecureStore;

// Binds this installation to a user on the platform: validates and stores the app key and platform address,
// then reuses the stored resource id (refreshing app parameters, account and device facts when online) or
// creates an anonymous user. The completion receives the resource id, or one of the texts
// "Error parsing URL", "Error: insert a valid appKey", "Not connected to Internet", or the empty text when
// the platform did not create the user. A creation reply whose id is not a usable identifier is one that
// names nobody (the ticket path, then the empty text when nothing else names the user).
//
// The first phase runs on the work queue; the rest follows the replies on the HTTP client's threads and the
// global queue. The completion runs exactly once: a registration abandoned because this object was released
// answers the empty text on the global queue. `runningRegistration` is set while any registration is in
// flight and cleared before the completion of the last one runs. Every registration that got as far as the
// platform asks for a tracking check when it ends.
class DeviceRegistration : public std::enable_shared_from_this<DeviceRegistration> {
public:
    using Completion = std::function<void(std::optional<std::string>)>;

    struct Collaborators {
        std::shared_ptr<Preferences> preferences;
        std::shared_ptr<SecureStore> secureStore;
        std::shared_ptr<Device> device;
        PlatformTransport transport;
        std::shared_ptr<DispatchQueue> fenkQueue;
        std::shared_ptr<DispatchQueue> globalQueue;
        std::shared_ptr<AtomicBoolean> runningRegistration;
        std::shared_ptr<AccountService> accounts;
        std::function<bool()> isConnectedToNetwork;
        std::function<void()> checkStartTracking;
    };

    explicit DeviceRegistration(Collaborators collaborators);

    void registerDevice(std::string appKey, std::string platform, bool trackingActive, Completion completion);

private:
    struct Attempt {
        std::string appKey;
        std::string platform;
        GuaranteedCompletion<std::optional<std::string>> completion;
    };
    using AttemptPtr = std::shared_ptr<const Attempt>;

    void start(const AttemptPtr& attempt, bool trackingActive);
    void decide(const AttemptPtr& attempt, const std::optional<FG_Account>& account);
    void refreshKnownDevice(const AttemptPtr& attempt, std::string resourceId);
    void refreshAccountAndDevice(const AttemptPtr& attempt, std::string resourceId);
    void registerNewDevice(const AttemptPtr& attempt);
    void createAnonymousUser(const AttemptPtr& attempt, FG_Authenticate authentication);
    void userCreated(const AttemptPtr& attempt, FG_Authenticate authentication,
                     std::optional<FG_SoaApiUser_CreateAnonymousParametersOut> reply);
    void authenticateWithTicket(const AttemptPtr& attempt, FG_Authenticate authentication);
    void refreshAppParametersIfOnline(const AttemptPtr& attempt);
    // Authenticates the stored record with the attempt's app key, then fetches the app parameters with it.
    void authenticateAndFetchAppParameters(const Attempt& attempt, AccountService::AppParametersCompletion completion);
    void storeAccess(const Attempt& attempt);

    // Ends a registration: the flag first, then the host's completion, then (finish only) the tracking check.
    void finishRegistration(const Attempt& attempt, std::string result);
    void abandon(const Attempt& attempt, std::string result);

    // A continuation that runs `step` with this registration, or does nothing once it is gone.
    template <class Step>
    auto whileAlive(Step step) {
        return fenk::whileAlive(weak_from_this(), std::move(step));
    }

    void holdRunningFlag();
    void releaseRunningFlag();

    Collaborators collaborators_;
    AuthenticationSession authentication_;
    // Registrations overlap when the host asks twice; the flag stays set until the last one ends.
    std::mutex inFlightMutex_;
    int inFlight_ = 0;
};

}  // namespace fenk
