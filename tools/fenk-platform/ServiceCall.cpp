#include "tools/fenk-platform/ServiceCall.h"

#include <charconv>

#include "FenkSDK/api/FG_ResourceId.h"

namespace fenk {
namespace {

std::optional<double> parseDegrees(const std::optional<std::string>& text) {
    if (!text) return std::nullopt;
    double degrees = 0;
    const char* end = text->data() + text->size();
    const auto [stop, error] = std::from_chars(text->data(), end, degrees);
    if (error != std::errc{} || stop != end) return std::nullopt;
    return degrees;
}

}  // namespace

std::optional<std::string> ServiceCall::parameter(std::string_view name) const { return lastValue(parameters, name); }

std::string errorReply(std::optional<std::string> type, const ServiceRefusal& refusal) {
    ParametersOut<FG_ResourceId> reply{
        .response = "ERROR", .messageCode = refusal.messageCode, .message = refusal.message, .type = std::move(type)};
    if (std::optional<std::string> body = json::encode(reply)) return std::move(*body);
    // A message may quote what the caller sent, which need not be UTF-8; codes and types are ASCII.
    reply.message.reset();
    return *json::encode(reply);
}

std::string requireAccessibleUser(ServiceContext& context, const ServiceCall& call) {
    const std::optional<std::string>& resourceId = call.resourceId ? call.resourceId : call.session.resourceId;
    if (!resourceId) throw ServiceRefusal{"USER_REQUIRED", "name the user in the path or authenticate as one"};
    if (call.session.resourceId && call.session.resourceId != resourceId) {
        throw ServiceRefusal{"FORBIDDEN", "the token speaks for another user"};
    }
    if (context.store.appOfUser(*resourceId) != call.session.appKey) {
        throw ServiceRefusal{"USER_NOT_FOUND", "no user " + *resourceId + " in this app"};
    }
    return *resourceId;
}

std::string requireSessionUser(const ServiceCall& call) {
    if (!call.session.resourceId) throw ServiceRefusal{"USER_REQUIRED", "authenticate as a user first"};
    return *call.session.resourceId;
}

LocationCoordinate2D requireCoordinate(const ServiceCall& call) {
    const std::optional<double> latitude = parseDegrees(call.parameter("latitude"));
    const std::optional<double> longitude = parseDegrees(call.parameter("longitude"));
    if (!latitude || !longitude || !isValidCoordinate({*latitude, *longitude})) {
        throw ServiceRefusal{"INVALID_COORDINATE", "latitude and longitude must be decimal degrees"};
    }
    return {*latitude, *longitude};
}

}  // namespace fenk
