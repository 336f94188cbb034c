#include "tools/fenk-platform/PlatformServices.h"

#include <algorithm>
#include <array>
#include <tuple>

#include "FenkSDK/api/Authenticate.h"
#include "tools/fenk-platform/GroupServices.h"
#include "tools/fenk-platform/PlaceServices.h"
#include "tools/fenk-platform/PlatformPath.h"
#include "tools/fenk-platform/UserServices.h"

namespace fenk {
namespace {

struct ServiceRoute {
    std::string_view name;
    std::string_view method;
    ServiceHandler handler;
};

constexpr std::array kServices{
    ServiceRoute{"soa.api.user.info", "GET", &userServices::info},
    ServiceRoute{"soa.api.user.app-parameters", "GET", &userServices::appParameters},
    ServiceRoute{"soa.api.user.create-anonymous", "POST", &userServices::createAnonymous},
    ServiceRoute{"soa.api.user.update", "POST", &userServices::update},
    ServiceRoute{"soa.api.user.user-profile", "GET", &userServices::userProfile},
    ServiceRoute{"soa.api.user.location.update", "POST", &userServices::locationUpdate},
    ServiceRoute{"soa.api.user.find-places-nearby", "GET", &placeServices::findPlacesNearby},
    ServiceRoute{"soa.api.pellar.tracking-info", "GET", &placeServices::trackingInfo},
    ServiceRoute{"soa.api.group.list", "GET", &groupServices::list},
    ServiceRoute{"soa.api.group.find-groupname", "GET", &groupServices::findGroupname},
    ServiceRoute{"soa.api.group.subscription", "GET", &groupServices::subscription},
    ServiceRoute{"soa.api.group.join", "POST", &groupServices::join},
    ServiceRoute{"soa.api.group.leave", "POST", &groupServices::leave},
};

// The authentication reply: FG_AuthenticateBean, plus the reason when the platform refuses.
struct AuthenticationReply {
    std::optional<std::string> response{};
    std::optional<std::string> messageCode{};
    std::optional<std::string> message{};
    std::optional<Authenticate> authenticate{};
    std::optional<std::string> type{};

    static constexpr auto jsonFields = std::tuple{json::field("response", &AuthenticationReply::response),
                                                  json::field("messageCode", &AuthenticationReply::messageCode),
                                                  json::field("message", &AuthenticationReply::message),
                                                  json::field("authenticate", &AuthenticationReply::authenticate),
                                                  json::field("type", &AuthenticationReply::type)};
};

constexpr std::string_view kAuthenticationType = "authenticate";

PlatformReply authenticationRefused(std::string messageCode, std::string message) {
    return {.body = encodeReply(AuthenticationReply{.response = "ERROR",
                                                    .messageCode = std::move(messageCode),
                                                    .message = std::move(message),
                                                    .type = std::string(kAuthenticationType)})};
}

}  // namespace

PlatformServices::PlatformServices(const PlatformCatalogue& catalogue, PlatformStore& store)
    : context_{catalogue, store, sessions_, identifiers_} {}

std::string PlatformServices::refusal(std::string_view messageCode, std::string_view message) {
    return errorReply(std::nullopt, {std::string(messageCode), std::string(message)});
}

PlatformReply PlatformServices::answer(std::string_view method, std::string_view path,
                                       const NameValueList& parameters) {
    std::optional<PlatformPath> target = parsePlatformPath(path);
    if (!target || target->version != kVersion) {
        return {kNotFound, refusal("NOT_FOUND", "no such interface path")};
    }
    try {
        if (target->kind == PlatformPath::Kind::authentication) {
            if (method != "GET") return {kMethodNotAllowed, refusal("METHOD_NOT_ALLOWED", "authenticate with GET")};
            return authenticate(parameters);
        }
        if (target->api != kApiName) return {kNotFound, refusal("UNKNOWN_API", "no such interface")};
        return callService(method, target->service, std::move(target->resourceId), parameters);
    } catch (const SqliteError& error) {
        return {kInternalError, refusal("STORAGE_FAILURE", error.what())};
    }
}

PlatformReply PlatformServices::authenticate(const NameValueList& query) {
    if (lastValue(query, "api") != kApiName) return authenticationRefused("UNKNOWN_API", "api must be soa.api.fenk");
    const SeedApp* app = context_.catalogue.app(lastValue(query, "apikey").value_or(""));
    if (!app) return authenticationRefused("INVALID_APP_KEY", "no app has this key");

    Session session{.appKey = app->appKey};
    // An empty refresh token is what a device stores when its creation answered nothing usable.
    if (const std::optional<std::string> credential = lastValue(query, "refreshToken");
        credential && !credential->empty()) {
        session.resourceId = context_.store.userByCredential(app->appKey, *credential);
        if (!session.resourceId) {
            return authenticationRefused("INVALID_REFRESH_TOKEN", "the refresh token or ticket is unknown");
        }
    }
    std::optional<std::string> resourceId = session.resourceId;
    std::string token = context_.sessions.open(std::move(session));
    return {.body = encodeReply(AuthenticationReply{.response = "OK",
                                                    .authenticate = Authenticate{.resourceId = std::move(resourceId),
                                                                                 .serializerClass = "json",
                                                                                 .token = std::move(token)},
                                                    .type = std::string(kAuthenticationType)})};
}

PlatformReply PlatformServices::callService(std::string_view method, std::string_view service,
                                            std::optional<std::string> resourceId, const NameValueList& parameters) {
    const auto* entry = std::ranges::find(kServices, service, &ServiceRoute::name);
    if (entry == kServices.end()) return {kNotFound, refusal("UNKNOWN_SERVICE", "no such service")};
    if (method != entry->method) {
        return {kMethodNotAllowed,
                refusal("METHOD_NOT_ALLOWED", "call this service with " + std::string(entry->method))};
    }
    const std::optional<Session> session = context_.sessions.find(lastValue(parameters, "token").value_or(""));
    if (!session) {
        return {.body = errorReply(std::string(service), {"INVALID_TOKEN", "authenticate and send the token"})};
    }
    const ServiceCall call{.service = service,
                           .resourceId = std::move(resourceId),
                           .parameters = parameters,
                           .session = *session,
                           .app = *context_.catalogue.app(session->appKey)};
    try {
        return {.body = entry->handler(context_, call)};
    } catch (const ServiceRefusal& refused) {
        return {.body = errorReply(std::string(service), refused)};
    }
}

}  // namespace fenk
