#include "FenkSDK/registration/NotificationTokens.h"

#include "FenkSDK/UserDefault.h"
#include "FenkSDK/ports/Dispatcher.h"
#include "FenkSDK/registration/AccountService.h"
#include "FenkSDK/runtime/AtomicBoolean.h"
#include "FenkSDK/runtime/Data.h"
#include "FenkSDK/runtime/GuaranteedCompletion.h"
#include "FenkSDK/runtime/WhileAlive.h"

#include <utility>

namespace fenk {

NotificationTokens::NotificationTokens(Collaborators collaborators) : collaborators_(std::move(collaborators)) {}

void NotificationTokens::setNotificationsToken(std::optional<std::string> token, std::function<void(bool)> completion) {
    if (!completion) completion = [](bool) {};
    const GuaranteedCompletion<bool> answer(std::move(completion), false, collaborators_.globalQueue);
    collaborators_.fenkQueue->async(whileAlive(weak_from_this(), [token = std::move(token), answer](
                                                                     NotificationTokens& self) {
        self.storeThenSendIfRegistered(token, answer);
    }));
}

void NotificationTokens::setDataNotificationsToken(const std::optional<Data>& deviceToken,
                                                   std::function<void(bool)> completion) {
    if (!deviceToken) return completeOn(*collaborators_.globalQueue, std::move(completion), false);
    setNotificationsToken(hexToken(*deviceToken), std::move(completion));
}

void NotificationTokens::storeThenSendIfRegistered(const std::optional<std::string>& token,
                                                   std::function<void(bool)> completion) {
    const auto& preferences = collaborators_.preferences;
    // Kept on every path: a token sent now but refused, or overtaken by an older one kept during a
    // registration, would otherwise be lost or replaced by the stale one at the next device update.
    preferences->setString(settingsKeys::kKeyNotificationsToken, token);
    if (collaborators_.runningRegistration->get() || !preferences->string(settingsKeys::kKeyResourceId)) {
        return completion(true);
    }
    collaborators_.accounts->currentAccount(
        whileAlive(weak_from_this(), [token, completion = std::move(completion)](const NotificationTokens& self,
                                                                                 std::optional<FG_Account> account) {
            self.sendIfChanged(account, token, completion);
        }));
}

void NotificationTokens::sendIfChanged(const std::optional<FG_Account>& account,
                                       const std::optional<std::string>& token,
                                       std::function<void(bool)> completion) const {
    if (!account || account->mobileToken == token) return completion(true);
    collaborators_.accounts->updateUser(
        {{"notificationsToken", token.value_or("")}},
        [completion = std::move(completion)](const std::optional<std::string>& answer) { completion(answer == "OK"); });
}

std::string hexToken(const Data& bytes) {
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const std::uint8_t byte : bytes) appendHexByte(text, byte, HexDigits::lower);
    return text;
}

}  // namespace fenk
