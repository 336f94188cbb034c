#pragma once

#include "FenkSDK/UserDefault.h"
#include "FenkSDK/api/FG_Authenticate.h"
#include "FenkSDK/api/PercentEncoding.h"
#include "FenkSDK/api/PlatformTransport.h"
#include "FenkSDK/api/RequestParameters.h"
#include "FenkSDK/api/ServiceAddress.h"
#include "FenkSDK/json/RecordCodec.h"
#include "FenkSDK/ports/Preferences.h"
#include "FenkSDK/runtime/Data.h"

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace fenk {

enum class ServiceTransport { get, post, postAsync };

// What follows the service path in the address.
enum class ServicePathSuffix {
    none,
    resourceId,        // "/" + i_resourceId, when present
    storedResourceId,  // the stored "KEY_RESOURCE_ID" directly (the path ends with "/"), when stored
};

// One parameter of a request: the name it travels under and the `i_` field that holds it.
template <class ParametersIn>
struct SentField {
    std::string_view name;
    std::optional<std::string> ParametersIn::*field;
    // Sent in place of an absent value; without it an absent field is left out.
    std::optional<std::string_view> whenAbsent{};
};

template <class ParametersIn>
constexpr SentField<ParametersIn> sent(std::string_view name, std::optional<std::string> ParametersIn::*field,
                                       std::optional<std::string_view> whenAbsent = std::nullopt) {
    return {name, field, whenAbsent};
}

// Everything that tells one service from another.
template <class In, class Out, std::size_t sentFieldCount>
struct ServiceEntry {
    using ParametersIn = In;
    using ParametersOut = Out;

    std::string_view path;
    ServiceTransport transport;
    ServicePathSuffix pathSuffix;
    std::array<SentField<In>, sentFieldCount> sentFields;
};

template <class In, class Out, class... Fields>
constexpr auto serviceEntry(std::string_view path, ServiceTransport transport, ServicePathSuffix pathSuffix,
                            Fields... sentFields) {
    return ServiceEntry<In, Out, sizeof...(Fields)>{path, transport, pathSuffix, {sentFields...}};
}

// A platform service, described by its catalogue entry. Stateless apart from what it is given: the
// transport, and the settings for the one service whose address ends with the stored resource id.
//
// The address is the service address of the authentication record (see ServiceAddress.h) plus the entry's
// path and suffix (resource ids escaped as a path segment); the token is the record's. A GET carries the
// sent fields in its query, a POST in its form.
template <const auto& entry>
class PlatformService {
    using Entry = std::remove_cvref_t<decltype(entry)>;
    static constexpr bool readsStoredResourceId = entry.pathSuffix == ServicePathSuffix::storedResourceId;

public:
    using ParametersIn = typename Entry::ParametersIn;
    using ParametersOut = typename Entry::ParametersOut;
    using Completion = std::function<void(std::optional<ParametersOut> reply)>;

    explicit PlatformService(PlatformTransport transport)
        requires(!readsStoredResourceId)
        : transport_(std::move(transport)) {}

    PlatformService(PlatformTransport transport, const Preferences& preferences)
        requires(readsStoredResourceId)
        : transport_(std::move(transport)), preferences_(&preferences) {}

    // Sends the request and completes with the decoded reply; none when no body came or it did not decode.
    // The completion always runs, once, and never inside this call: without a record that can address the
    // service nothing is sent and it receives none.
    void call(const std::optional<ParametersIn>& parameters, const std::optional<FG_Authenticate>& authentication,
              Completion completion) const {
        exchange(parameters, authentication,
                 [completion = std::move(completion)](std::optional<Data> body, std::optional<HttpResponse>,
                                                      std::optional<HttpError>) { completion(decodeReply(body)); });
    }

    // call() without decoding, for a caller that tells a refused request from a lost one by the status.
    void exchange(const std::optional<ParametersIn>& parameters, const std::optional<FG_Authenticate>& authentication,
                  PlatformTransport::Completion completion) const {
        std::optional<std::string> url = address(parameters, authentication);
        if (!url) {
            // Completing beats waiting: a caller must never wait forever for a request that never left.
            transport_.completeUnsent(std::move(completion), "no authentication record addresses the service");
            return;
        }
        const std::optional<std::string>& token = authentication->token;
        switch (entry.transport) {
            case ServiceTransport::get:
                transport_.sendGet(*url, sentParameters(parameters), token, std::move(completion));
                break;
            case ServiceTransport::post:
                transport_.sendPost(*url, sentParameters(parameters), token, std::move(completion));
                break;
            case ServiceTransport::postAsync:
                transport_.sendPostAsync(*url, sentParameters(parameters), token, std::move(completion));
                break;
        }
    }

private:
    static std::optional<ParametersOut> decodeReply(const std::optional<Data>& body) {
        return body ? json::decode<ParametersOut>(asText(*body)) : std::nullopt;
    }

    std::optional<std::string> address(const std::optional<ParametersIn>& parameters,
                                       const std::optional<FG_Authenticate>& authentication) const {
        std::optional<std::string> url = serviceAddress(authentication, entry.path);
        if (!url) return url;
        if constexpr (entry.pathSuffix == ServicePathSuffix::resourceId) {
            if (parameters && parameters->i_resourceId) url->append("/").append(encodePathSegment(*parameters->i_resourceId));
        } else if constexpr (readsStoredResourceId) {
            if (const auto stored = preferences_->string(settingsKeys::kKeyResourceId)) *url += encodePathSegment(*stored);
        }
        return url;
    }

    static RequestParameters sentParameters(const std::optional<ParametersIn>& parameters) {
        const std::optional<std::string> absent;
        RequestParameters sentValues;
        for (const SentField<ParametersIn>& sentField : entry.sentFields) {
            const std::optional<std::string>& value = parameters ? (*parameters).*sentField.field : absent;
            if (value) {
                sentValues.emplace_back(sentField.name, *value);
            } else if (sentField.whenAbsent) {
                sentValues.emplace_back(sentField.name, *sentField.whenAbsent);
            }
        }
        return sentValues;
    }

    PlatformTransport transport_;
    const Preferences* preferences_ = nullptr;
};

}  // namespace fenk
