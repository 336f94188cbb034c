#pragma once

#include "FenkSDK/api/FG_Account.h"
#include "FenkSDK/runtime/Data.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace fenk {

class AccountService;
class AtomicBoolean;
class DispatchQueue;
class Preferences;

// The device's push notifications token, from the host to the platform. The latest token is always kept in
// the settings, so that the next device update sends it whenever it could not be sent now: during a
// registration, before the user exists, or when the platform did not take it.
class NotificationTokens : public std::enable_shared_from_this<NotificationTokens> {
public:
    struct Collaborators {
        std::shared_ptr<Preferences> preferences;
        std::shared_ptr<DispatchQueue> fenkQueue;
        std::shared_ptr<DispatchQueue> globalQueue;
        std::shared_ptr<const AtomicBoolean> runningRegistration;
        std::shared_ptr<AccountService> accounts;
    };

    explicit NotificationTokens(Collaborators collaborators);

    // On the work queue. With a user and no registration running, a token that differs from the account's
    // is sent, and the completion says whether the platform took it; otherwise it answers true. It answers
    // exactly once: false, on the global queue, when this object is released before the answer came.
    void setNotificationsToken(std::optional<std::string> token, std::function<void(bool)> completion);
    // The token as hexadecimal text (see hexToken); false on the global queue for no token.
    void setDataNotificationsToken(const std::optional<Data>& deviceToken, std::function<void(bool)> completion);

private:
    void storeThenSendIfRegistered(const std::optional<std::string>& token, std::function<void(bool)> completion);
    void sendIfChanged(const std::optional<FG_Account>& account, const std::optional<std::string>& token,
                       std::function<void(bool)> completion) const;

    Collaborators collaborators_;
};

// Each byte as two lower-case hexadecimal digits, without separators: {0x0a, 0xff} -> "0aff".
std::string hexToken(const Data& bytes);

}  // namespace fenk
