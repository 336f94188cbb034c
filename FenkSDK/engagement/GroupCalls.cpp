#include "FenkSDK/engagement/GroupCalls.h"

#include "FenkSDK/api/ServiceCatalogue.h"
#include "FenkSDK/ports/Dispatcher.h"

#include <utility>

namespace fenk {
namespace {

template <class Reply>
bool succeeded(const std::optional<Reply>& reply) {
    return reply && reply->response == "OK";
}

template <class Reply>
GroupCalls::Groups groupsOf(const std::optional<Reply>& reply) {
    return succeeded(reply) ? reply->data : std::nullopt;
}

}  // namespace

GroupCalls::GroupCalls(std::shared_ptr<Preferences> preferences, PlatformTransport transport,
                       std::shared_ptr<DispatchQueue> globalQueue)
    : session_(std::move(preferences), transport), transport_(std::move(transport)), globalQueue_(std::move(globalQueue)) {}

template <class Service, class Value>
void GroupCalls::ask(typename Service::ParametersIn parameters, std::function<void(Value)> completion,
                     Value (*answer)(const std::optional<typename Service::ParametersOut>&)) const {
    // Without a completion a join or leave still happens; only the answer goes nowhere.
    globalQueue_->async([session = session_, transport = transport_, parameters = std::move(parameters),
                         completion = std::move(completion), answer] {
        session.callService(Service(transport), parameters,
                            [completion, answer](std::optional<typename Service::ParametersOut> reply) {
                                if (completion) completion(answer(reply));
                            });
    });
}

void GroupCalls::listGroups(GroupsCompletion completion) const {
    ask<FG_SoaApiGroup_ListService, Groups>({}, std::move(completion), &groupsOf);
}

void GroupCalls::subscriptionGroups(GroupsCompletion completion) const {
    ask<FG_SoaApiGroup_SubscriptionService, Groups>({}, std::move(completion), &groupsOf);
}

void GroupCalls::joinGroup(std::optional<std::string> groupId, DoneCompletion completion) const {
    ask<FG_SoaApiGroup_JoinService, bool>({.i_resourceId = std::move(groupId)}, std::move(completion), &succeeded);
}

void GroupCalls::leaveGroup(std::optional<std::string> groupId, DoneCompletion completion) const {
    ask<FG_SoaApiGroup_LeaveService, bool>({.i_resourceId = std::move(groupId)}, std::move(completion), &succeeded);
}

void GroupCalls::findGroups(std::optional<std::string> name, GroupsCompletion completion) const {
    ask<FG_SoaApiGroup_FindGroupnameService, Groups>({.i_name = std::move(name)}, std::move(completion), &groupsOf);
}

}  // namespace fenk
