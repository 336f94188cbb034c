#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "FenkSDK/api/FG_Paging.h"
#include "FenkSDK/api/ParametersOut.h"
#include "FenkSDK/json/RecordCodec.h"
#include "FenkSDK/location/LocationCoordinate2D.h"
#include "tools/fenk-platform/PlatformCatalogue.h"
#include "tools/fenk-platform/PlatformStore.h"
#include "tools/fenk-platform/RandomIdentifiers.h"
#include "tools/fenk-platform/SessionRegistry.h"
#include "tools/fenk-platform/UrlEncoding.h"

namespace fenk {

// What every service works with.
struct ServiceContext {
    const PlatformCatalogue& catalogue;
    PlatformStore& store;
    SessionRegistry& sessions;
    RandomIdentifiers& identifiers;
};

// One authorised call of a service: the token has been checked and names `session`.
struct ServiceCall {
    std::string_view service;               // e.g. "soa.api.user.info"
    std::optional<std::string> resourceId;  // the path's last segment
    const NameValueList& parameters;        // query of a GET, form of a POST
    const Session& session;
    const SeedApp& app;

    std::optional<std::string> parameter(std::string_view name) const;
};

// A service declining a call; the caller receives an envelope with response "ERROR" and this code.
struct ServiceRefusal {
    std::string messageCode;
    std::string message;
};

using ServiceHandler = std::string (*)(ServiceContext& context, const ServiceCall& call);

// The JSON of a reply; refuses text that JSON cannot carry (bytes that are not UTF-8).
template <class Reply>
std::string encodeReply(const Reply& reply) {
    std::optional<std::string> body = json::encode(reply);
    if (!body) throw ServiceRefusal{"INVALID_TEXT", "the reply would carry text that is not UTF-8"};
    return std::move(*body);
}

template <class DataT>
std::string successReply(const ServiceCall& call, DataT data, std::optional<FG_Paging> paging = std::nullopt) {
    return encodeReply(ParametersOut<DataT>{
        .response = "OK", .type = std::string(call.service), .paging = std::move(paging), .data = std::move(data)});
}

// `type` names the service that refused, when one did.
std::string errorReply(std::optional<std::string> type, const ServiceRefusal& refusal);

// The user a call is about: the path's resource id, else the session's user. A session that speaks for a
// user reaches only that user, and only users of its own app are found.
std::string requireAccessibleUser(ServiceContext& context, const ServiceCall& call);
// The user the session speaks for.
std::string requireSessionUser(const ServiceCall& call);
// The "latitude" and "longitude" parameters, as decimal degrees on the globe.
LocationCoordinate2D requireCoordinate(const ServiceCall& call);

}  // namespace fenk
