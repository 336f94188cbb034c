#include "FenkSDK/engagement/UserPermissions.h"

#include "FenkSDK/engagement/LegalDecision.h"
#include "FenkSDK/ports/Dispatcher.h"
#include "FenkSDK/registration/AccountService.h"

namespace fenk {

UserPermissions::UserPermissions(Collaborators collaborators) : collaborators_(std::move(collaborators)) {}

void UserPermissions::getUserPermission(std::optional<std::string> permission,
                                        std::function<void(std::string)> completion) const {
    collaborators_.globalQueue->async([accounts = collaborators_.accounts, permission = std::move(permission),
                                       completion = std::move(completion)]() mutable {
        accounts->currentAccount(
            [permission = std::move(permission), completion = std::move(completion)](std::optional<FG_Account> account) {
                completion(permissionAnswer(account, permission));
            });
    });
}

void UserPermissions::setUserPermission(std::string permission, bool value, std::function<void(bool)> completion) const {
    const bool allowsTracking = value && permission == permissionName(LegalWorkflowVariant::tracking);
    // Once it answered, the service goes with the manager: what follows is dropped then.
    const std::weak_ptr<AccountService> weakAccounts = collaborators_.accounts;
    const auto afterwards = [weakAccounts, allowsTracking, isConnected = collaborators_.isConnected,
                             checkStartTracking = collaborators_.checkStartTracking] {
        const auto accounts = weakAccounts.lock();
        if (!accounts) return;
        if (!isConnected()) {
            if (allowsTracking) checkStartTracking();
            return;
        }
        accounts->refreshAccountInfo([weakAccounts, allowsTracking, checkStartTracking](std::optional<FG_Account> account) {
            const auto refreshed = weakAccounts.lock();
            if (!refreshed) return;
            refreshed->updateDeviceInfo(account, [allowsTracking, checkStartTracking](std::optional<std::string>) {
                if (allowsTracking) checkStartTracking();
            });
        });
    };
    collaborators_.accounts->updateUser(
        RequestParameters{{std::move(permission), value ? "true" : "false"}},
        [afterwards, completion = std::move(completion)](std::optional<std::string> response) {
            if (response != "OK") return completion(false);
            completion(true);
            afterwards();
        });
}

}  // namespace fenk
