#include "tools/fenk-platform/UserServices.h"

#include <vector>

#include "FenkSDK/api/FG_Extra.h"
#include "FenkSDK/api/FG_MobileData.h"
#include "FenkSDK/api/FG_ResourceId.h"
#include "FenkSDK/api/FG_UserProfile.h"

namespace fenk::userServices {
namespace {

constexpr std::size_t kResourceIdDigits = 24;
constexpr std::size_t kCredentialDigits = 40;

std::vector<FG_ResourceId> affected(std::string resourceId) { return {FG_ResourceId{std::move(resourceId)}}; }

// "k:v,k:v" into its pairs: only the first two parts of a pair count, and a pair without ":" or without a
// name is skipped. Repeated names stay repeated (applied in order, the later wins). Names and values come
// with '%', ',' and ':' escaped.
NameValueList parseExtraText(std::string_view text) {
    NameValueList pairs;
    forEachPiece(text, ',', [&](std::string_view pair) {
        const std::size_t colon = pair.find(':');
        if (colon == std::string_view::npos || colon == 0) return;
        const std::string_view value = pair.substr(colon + 1);
        pairs.emplace_back(decodePercentEscapes(pair.substr(0, colon)), decodePercentEscapes(value.substr(0, value.find(':'))));
    });
    return pairs;
}

}  // namespace

std::string info(ServiceContext& context, const ServiceCall& call) {
    std::optional<FG_Account> account = context.store.account(requireAccessibleUser(context, call));
    if (!account) throw ServiceRefusal{"USER_NOT_FOUND", "the user is gone"};
    return successReply(call, std::move(*account));
}

std::string appParameters(ServiceContext&, const ServiceCall& call) {
    return successReply(call, orEmpty(call.app.parameters));
}

std::string createAnonymous(ServiceContext& context, const ServiceCall& call) {
    NewUser user{.resourceId = context.identifiers.next(kResourceIdDigits),
                 .appKey = call.app.appKey,
                 .credential = context.identifiers.next(kCredentialDigits),
                 .platform = call.parameter("platform"),
                 .deviceId = call.parameter("deviceId"),
                 .device = call.parameter("device"),
                 .version = call.parameter("version"),
                 .notificationsToken = call.parameter("notificationsToken"),
                 .extras = parseExtraText(call.parameter("extra").value_or(""))};
    context.store.createUser(user);
    if (call.app.creationReply == "ticket") {
        // The device trades the ticket for a token (and learns its id) at its next authentication.
        return encodeReply(ParametersOutWithTicket<FG_MobileData>{
            .response = "OK", .type = std::string(call.service), .ticket = user.credential});
    }
    const std::string token = context.sessions.open({.appKey = user.appKey, .resourceId = user.resourceId});
    return successReply(call,
                        FG_MobileData{.resourceId = user.resourceId, .token = token, .refreshToken = user.credential});
}

std::string update(ServiceContext& context, const ServiceCall& call) {
    std::string resourceId = requireAccessibleUser(context, call);
    // Passwords are accepted and not kept: no reply ever carries one.
    context.store.updateUser(resourceId, {.device = call.parameter("device"),
                                          .version = call.parameter("version"),
                                          .email = call.parameter("email"),
                                          .notificationsToken = call.parameter("notificationsToken"),
                                          .extras = parseExtraText(call.parameter("extra").value_or(""))});
    return successReply(call, affected(std::move(resourceId)));
}

std::string userProfile(ServiceContext& context, const ServiceCall& call) {
    return successReply(
        call, FG_UserProfile{.resourceId = requireAccessibleUser(context, call), .userHabits = call.app.userHabits});
}

std::string locationUpdate(ServiceContext& context, const ServiceCall& call) {
    const std::int64_t id = context.store.addLocation({.resourceId = requireAccessibleUser(context, call),
                                                       .latitude = call.parameter("latitude"),
                                                       .longitude = call.parameter("longitude"),
                                                       .extra = call.parameter("extra"),
                                                       .async = call.parameter("async") == "true"});
    return successReply(call, affected(std::to_string(id)));
}

}  // namespace fenk::userServices
