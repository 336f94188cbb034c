#include "FenkSDK/api/AuthenticationRequest.h"

#include "FenkSDK/api/PercentEncoding.h"
#include "FenkSDK/api/ServiceAddress.h"
#include "FenkSDK/api/UsableIdentifier.h"
#include "FenkSDK/runtime/Console.h"

#include <utility>

namespace fenk {
namespace {

std::optional<FG_AuthenticateBean> decodeReply(const std::optional<Data>& body) {
    if (!body) return std::nullopt;
    std::string error;
    auto reply = json::decode<FG_AuthenticateBean>(asText(*body), &error);
    if (!reply) Console::print("Authentication reply not understood: " + error);
    return reply;
}

}  // namespace

void requestAuthentication(const PlatformTransport& transport, FG_Authenticate record, std::string_view appKey,
                           const std::optional<std::string>& refreshToken, AuthenticationCompletion completion) {
    record.api = std::string(kPlatformApiName);
    // The values are escaped here, where the query is written, so that a reserved character in a key or
    // token cannot start another parameter.
    std::string url = baseAddress(record) + "json/auth/user?api=" + encodeQueryComponent(*record.api) +
                      "&apikey=" + encodeQueryComponent(appKey);
    if (refreshToken) url += "&refreshToken=" + encodeQueryComponent(*refreshToken);

    transport.sendGet(url, {}, std::nullopt,
                      [record = std::move(record), completion = std::move(completion)](
                          std::optional<Data> body, std::optional<HttpResponse>, std::optional<HttpError>) mutable {
                          auto reply = decodeReply(body);
                          if (reply && reply->response == "OK" && reply->authenticate) {
                              record.token = usableOrNone(reply->authenticate->token, kTokenLimit);
                          }
                          completion(std::move(record), std::move(reply));
                      });
}

}  // namespace fenk
