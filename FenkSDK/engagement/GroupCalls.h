#pragma once

#include "FenkSDK/api/FG_GroupData.h"
#include "FenkSDK/api/PlatformTransport.h"
#include "FenkSDK/registration/AuthenticationSession.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace fenk {

class DispatchQueue;
class Preferences;

// The user's groups on the platform: the app's groups, the user's memberships, joining and leaving, and a
// search by name. Each call returns at once, refreshes the session on the global queue, makes one request
// and completes exactly once, on the thread the reply arrives on: with the reply's data (or true) when the
// platform said "OK", else with none (or false). Without a session nothing can be addressed, which counts
// as a failed call. Nothing is retried and the platform's message is not handed on.
//
// Cheap to copy: the work in flight carries its own copy, so the owner may be gone before a reply comes.
class GroupCalls {
public:
    using Groups = std::optional<std::vector<FG_GroupData>>;
    using GroupsCompletion = std::function<void(Groups groups)>;
    using DoneCompletion = std::function<void(bool succeeded)>;

    GroupCalls(std::shared_ptr<Preferences> preferences, PlatformTransport transport,
               std::shared_ptr<DispatchQueue> globalQueue);

    void listGroups(GroupsCompletion completion) const;
    void subscriptionGroups(GroupsCompletion completion) const;
    // An absent id calls the service's bare path, naming no group.
    void joinGroup(std::optional<std::string> groupId, DoneCompletion completion) const;
    void leaveGroup(std::optional<std::string> groupId, DoneCompletion completion) const;
    void findGroups(std::optional<std::string> name, GroupsCompletion completion) const;

private:
    // Calls `Service` with `parameters` after refreshing the session and completes with `answer(reply)`.
    template <class Service, class Value>
    void ask(typename Service::ParametersIn parameters, std::function<void(Value)> completion,
             Value (*answer)(const std::optional<typename Service::ParametersOut>&)) const;

    AuthenticationSession session_;
    PlatformTransport transport_;
    std::shared_ptr<DispatchQueue> globalQueue_;
};

}  // namespace fenk
