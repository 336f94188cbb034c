#pragma once

#include "FenkSDK/api/FG_Authenticate.h"
#include "FenkSDK/api/FG_AuthenticateBean.h"
#include "FenkSDK/api/PlatformTransport.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace fenk {

// The interface name every authentication asks for and every service address carries.
inline constexpr std::string_view kPlatformApiName = "soa.api.fenk";

// Receives the record the request was made on, updated, and the decoded reply.
using AuthenticationCompletion =
    std::function<void(FG_Authenticate record, std::optional<FG_AuthenticateBean> reply)>;

// Asks the platform for a token: GET <base address>json/auth/user?api=soa.api.fenk&apikey=<appKey>, followed
// by "&refreshToken=<refreshToken>" when one is given (values escaped as query components).
//
// The completion (on the transport's terms) receives the record with `api` set to kPlatformApiName and,
// when the reply's `response` is "OK" and it carries `authenticate`, `token` replaced by that token (an
// absent one included; one that is not usable, see isUsableIdentifier, counts as absent); any other reply
// leaves the token alone but is still handed on. The reply is none when no body came, or when the body did
// not decode (the reason goes to the console). Storing the record, the resource id or the refresh token is
// the caller's business.
void requestAuthentication(const PlatformTransport& transport, FG_Authenticate record, std::string_view appKey,
                           const std::optional<std::string>& refreshToken, AuthenticationCompletion completion);

}  // namespace fenk
