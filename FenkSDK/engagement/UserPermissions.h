#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace fenk {

class AccountService;
class DispatchQueue;

// The user's answers to the owner's permission questions, kept on the platform in the account's extra list.
// Completions run on the global queue or the HTTP client's threads.
class UserPermissions {
public:
    struct Collaborators {
        std::shared_ptr<AccountService> accounts;
        std::shared_ptr<DispatchQueue> globalQueue;
        std::function<bool()> isConnected;
        // Asked for once the user allowed tracking: the legal workflow may now start it.
        std::function<void()> checkStartTracking;
    };

    explicit UserPermissions(Collaborators collaborators);

    // The answer the account holds (the account is fetched first when none is stored and the network is up);
    // the empty text when none is known.
    void getUserPermission(std::optional<std::string> permission, std::function<void(std::string)> completion) const;
    // True when the platform took the answer; the account is then read again and the device facts sent, and
    // allowing tracking runs the tracking check.
    void setUserPermission(std::string permission, bool value, std::function<void(bool)> completion) const;

private:
    Collaborators collaborators_;
};

}  // namespace fenk
