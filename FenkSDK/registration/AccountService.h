#pragma once

#include "FenkSDK/api/FG_Account.h"
#include "FenkSDK/api/FG_Authenticate.h"
#include "FenkSDK/api/FG_Extra.h"
#include "FenkSDK/api/PlatformTransport.h"
#include "FenkSDK/api/RequestParameters.h"
#include "FenkSDK/registration/AuthenticationSession.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace fenk {

class Device;
class DispatchQueue;
class Preferences;

// The user record on the platform: reads it into the settings, changes its fields, and fetches the app
// parameters. Each call authenticates first. Completions run on the HTTP client's threads (or the global
// queue); work still queued when the service is gone is dropped.
class AccountService : public std::enable_shared_from_this<AccountService> {
public:
    using AccountCompletion = std::function<void(std::optional<FG_Account>)>;
    using AppParametersCompletion = std::function<void(std::optional<std::vector<FG_Extra>>)>;
    // The reply's `response` ("OK" on success), none when no readable reply came.
    using ResponseCompletion = std::function<void(std::optional<std::string>)>;

    struct Collaborators {
        std::shared_ptr<Preferences> preferences;
        std::shared_ptr<Device> device;
        PlatformTransport transport;
        std::shared_ptr<DispatchQueue> globalQueue;
        std::function<bool()> isConnectedToNetwork;
    };

    explicit AccountService(Collaborators collaborators);

    // On the global queue: the stored account's resource id (or the stored resource id when the account
    // has none) is looked up on the platform, and a reply's user is stored as the account when it is the
    // user asked for. Offline it answers the stored account; none when there is no id to look up or that
    // user did not come back.
    void refreshAccountInfo(AccountCompletion completion);
    // The stored account, at once on the calling thread; without one, refreshAccountInfo's answer when the
    // network is up, else none at once.
    void currentAccount(AccountCompletion completion);

    // With a record authentication has just refreshed: the app parameters for the stored resource id, stored
    // when the reply has them.
    void fetchAppParameters(FG_Authenticate authentication, AppParametersCompletion completion) const;

    // On the global queue: sends the fields to the stored resource id. "device", "version", "password",
    // "email" and "notificationsToken" travel as themselves; every other non-empty field joins the extra
    // text as name:value, comma separated. "ERROR", with nothing sent, when no resource id is stored.
    void updateUser(RequestParameters fields, ResponseCompletion completion);

    // Sends the device facts that differ from `account` (see deviceInfoChanges); "OK" at once, with nothing
    // sent, when none do.
    void updateDeviceInfo(const std::optional<FG_Account>& account, ResponseCompletion completion);

private:
    void refreshNow(AccountCompletion completion) const;
    void updateNow(const RequestParameters& fields, ResponseCompletion completion) const;

    Collaborators collaborators_;
    AuthenticationSession authentication_;
};

}  // namespace fenk
