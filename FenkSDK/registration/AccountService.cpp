#include "FenkSDK/registration/AccountService.h"

#include "FenkSDK/api/PercentEncoding.h"

#include "FenkSDK/UserDefault.h"
#include "FenkSDK/api/ServiceCatalogue.h"
#include "FenkSDK/api/UsableIdentifier.h"
#include "FenkSDK/ports/Device.h"
#include "FenkSDK/ports/Dispatcher.h"
#include "FenkSDK/registration/DeviceInfoChanges.h"
#include "FenkSDK/runtime/WhileAlive.h"

#include <utility>

namespace fenk {
namespace {

FG_SoaApiUser_UpdateParametersIn userUpdateParameters(std::string resourceId, const RequestParameters& fields) {
    FG_SoaApiUser_UpdateParametersIn parameters{.i_resourceId = std::move(resourceId)};
    std::string extra;
    for (const auto& [name, value] : fields) {
        if (name == "device") {
            parameters.i_device = value;
        } else if (name == "version") {
            parameters.i_version = value;
        } else if (name == "password") {
            parameters.i_password = value;
        } else if (name == "email") {
            parameters.i_email = value;
        } else if (name == "notificationsToken") {
            parameters.i_notificationsToken = value;
        } else if (!value.empty()) {
            extra += (extra.empty() ? "" : ",") + encodeExtraPiece(name) + ":" + encodeExtraPiece(value);
        }
    }
    if (!extra.empty()) parameters.i_extra = std::move(extra);
    return parameters;
}

}  // namespace

AccountService::AccountService(Collaborators collaborators)
    : collaborators_(std::move(collaborators)), authentication_(collaborators_.preferences, collaborators_.transport) {}

void AccountService::refreshAccountInfo(AccountCompletion completion) {
    collaborators_.globalQueue->async(
        whileAlive(weak_from_this(), [completion = std::move(completion)](const AccountService& self) mutable {
            self.refreshNow(std::move(completion));
        }));
}

void AccountService::currentAccount(AccountCompletion completion) {
    auto stored = UserDefault(*collaborators_.preferences).loadRecord<FG_Account>(settingsKeys::kFenkAccountInfo);
    if (stored || !collaborators_.isConnectedToNetwork()) return completion(std::move(stored));
    refreshAccountInfo(std::move(completion));
}

void AccountService::refreshNow(AccountCompletion completion) const {
    const auto& preferences = collaborators_.preferences;
    auto stored = UserDefault(*preferences).loadRecord<FG_Account>(settingsKeys::kFenkAccountInfo);
    // An account stored without an id would otherwise never be replaced, and every registration would
    // create yet another user; the id a creation or authentication stored names the user as well.
    auto resourceId =
        stored && stored->resourceId ? stored->resourceId : preferences->string(settingsKeys::kKeyResourceId);
    if (!resourceId) return completion(std::nullopt);
    if (!collaborators_.isConnectedToNetwork()) return completion(std::move(stored));

    std::string asked = *resourceId;
    authentication_.callService(
        FG_SoaApiUser_InfoService(collaborators_.transport),
        FG_SoaApiUser_InfoParametersIn{.i_resourceId = std::move(resourceId)},
        [preferences, asked = std::move(asked),
         completion = std::move(completion)](std::optional<FG_SoaApiUser_InfoParametersOut> reply) {
            // Only the user asked for may become the account: any other, or one without a usable id, would
            // have every later call address nobody, or somebody else.
            if (!reply || !reply->data || reply->data->resourceId != asked || !isUsableIdentifier(asked)) {
                return completion(std::nullopt);
            }
            UserDefault(*preferences).saveRecord(*reply->data, settingsKeys::kFenkAccountInfo);
            preferences->synchronize();
            completion(std::move(reply->data));
        });
}

void AccountService::fetchAppParameters(FG_Authenticate authentication, AppParametersCompletion completion) const {
    const auto& preferences = collaborators_.preferences;
    FG_SoaApiUser_AppParametersService(collaborators_.transport)
        .call(
            FG_SoaApiUser_AppParametersParametersIn{.i_resourceId = preferences->string(settingsKeys::kKeyResourceId)},
            authentication,
            [preferences,
             completion = std::move(completion)](std::optional<FG_SoaApiUser_AppParametersParametersOut> reply) {
                if (!reply || !reply->data) return completion(std::nullopt);
                UserDefault(*preferences).setDataArray(*reply->data, settingsKeys::kFenkAppParameters);
                preferences->synchronize();
                completion(std::move(reply->data));
            });
}

void AccountService::updateUser(RequestParameters fields, ResponseCompletion completion) {
    collaborators_.globalQueue->async(whileAlive(
        weak_from_this(), [fields = std::move(fields), completion = std::move(completion)](
                              const AccountService& self) mutable { self.updateNow(fields, std::move(completion)); }));
}

void AccountService::updateNow(const RequestParameters& fields, ResponseCompletion completion) const {
    auto resourceId = collaborators_.preferences->string(settingsKeys::kKeyResourceId);
    if (!resourceId) return completion("ERROR");

    authentication_.callService(
        FG_SoaApiUser_UpdateService(collaborators_.transport), userUpdateParameters(std::move(*resourceId), fields),
        [completion = std::move(completion)](std::optional<FG_SoaApiUser_UpdateParametersOut> reply) {
            completion(reply ? reply->response : std::nullopt);
        });
}

void AccountService::updateDeviceInfo(const std::optional<FG_Account>& account, ResponseCompletion completion) {
    auto fields = deviceInfoChanges(account, *collaborators_.device,
                                    collaborators_.preferences->string(settingsKeys::kKeyNotificationsToken));
    if (fields.empty()) return completion("OK");
    updateUser(std::move(fields), std::move(completion));
}

}  // namespace fenk
