#include "FenkSDK/registration/AuthenticationSession.h"

#include "FenkSDK/UserDefault.h"
#include "FenkSDK/api/UsableIdentifier.h"
#include "FenkSDK/registration/RegistrationConstants.h"

#include <string>
#include <utility>

namespace fenk {

std::optional<std::string> namedUser(const std::optional<FG_AuthenticateBean>& reply) {
    return reply && reply->authenticate ? usableOrNone(reply->authenticate->resourceId) : std::nullopt;
}

AuthenticationSession::AuthenticationSession(std::shared_ptr<Preferences> preferences, PlatformTransport transport)
    : preferences_(std::move(preferences)), transport_(std::move(transport)) {}

void AuthenticationSession::authenticateSession(std::optional<FG_Authenticate> cached, std::string_view appKey,
                                                Continuation continuation) const {
    FG_Authenticate record = cached
                                 ? std::move(*cached)
                                 : FG_Authenticate{.platform = preferences_->string(settingsKeys::kKeyUrlPlatformUrl),
                                                   .version = std::string(kAuthenticationVersion),
                                                   .token = std::string(),
                                                   .api = std::string()};
    auto refreshToken = preferences_->string(settingsKeys::kKeyRefreshToken);
    // A creation reply without a ticket leaves an empty refresh token behind; sent as such it would have
    // every later authentication refused, so it counts as none.
    if (refreshToken && refreshToken->empty()) refreshToken.reset();

    requestAuthentication(
        transport_, std::move(record), appKey, refreshToken,
        [preferences = preferences_, provesUser = refreshToken.has_value(), continuation = std::move(continuation)](
            FG_Authenticate authenticated, std::optional<FG_AuthenticateBean> reply) {
            UserDefault store(*preferences);
            if (!provesUser) {
                store.saveRecord(authenticated, settingsKeys::kKeyCacheAutenticate);
            } else if (const auto named = namedUser(reply)) {
                preferences->setString(settingsKeys::kKeyResourceId, named);
                store.saveRecord(authenticated, settingsKeys::kKeyCacheAutenticate);
            }
            continuation(std::move(authenticated), std::move(reply));
        });
}

void AuthenticationSession::authenticateStored(Continuation continuation) const {
    authenticateSession(storedRecord(), preferences_->string(settingsKeys::kKeyAppKey).value_or(""),
                        std::move(continuation));
}

std::optional<FG_Authenticate> AuthenticationSession::storedRecord() const {
    return UserDefault(*preferences_).loadRecord<FG_Authenticate>(settingsKeys::kKeyCacheAutenticate);
}

}  // namespace fenk
