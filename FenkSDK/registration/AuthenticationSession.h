#pragma once

#include "FenkSDK/api/AuthenticationRequest.h"
#include "FenkSDK/api/FG_Authenticate.h"
#include "FenkSDK/api/PlatformTransport.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace fenk {

class Preferences;

// The user an authentication reply names: its resource id when it is a usable identifier, else none.
std::optional<std::string> namedUser(const std::optional<FG_AuthenticateBean>& reply);

// Fetches a fresh token before each platform call and keeps what the platform hands out: the
// authentication record every call is addressed with, and the resource id a refresh token proves.
//
// Calls made on the SDK's own behalf use the app key and platform address the last registration stored,
// not a copy held in memory, so that those made before this process registered (an activation right after
// launch) still reach the right platform.
class AuthenticationSession {
public:
    // Receives the record the request was made on (with the new token when the platform said "OK") and
    // the reply, none when none came. It always runs, exactly once: a flow never waits on a lost reply.
    using Continuation = AuthenticationCompletion;

    AuthenticationSession(std::shared_ptr<Preferences> preferences, PlatformTransport transport);

    // Authenticates `cached`, or a new record for the stored platform address when there is none, with
    // the stored refresh token when there is one.
    //  - With a refresh token the platform names the user: its resource id and the record are stored only
    //    when the reply names a user (see namedUser).
    //  - Without one the record is stored whatever the reply, so that the next call has an address.
    void authenticateSession(std::optional<FG_Authenticate> cached, std::string_view appKey,
                             Continuation continuation) const;
    // authenticateSession with the stored record and the stored app key.
    void authenticateStored(Continuation continuation) const;

    // The record the last authentication stored, which the service calls re-read.
    std::optional<FG_Authenticate> storedRecord() const;

    // authenticateStored, then `service` called with the record that authentication left stored, whatever
    // it answered.
    template <class Service>
    void callService(Service service, typename Service::ParametersIn parameters,
                     typename Service::Completion completion) const {
        authenticateStored([service = std::move(service), session = *this, parameters = std::move(parameters),
                            completion = std::move(completion)](FG_Authenticate, std::optional<FG_AuthenticateBean>) {
            service.call(parameters, session.storedRecord(), completion);
        });
    }

private:
    std::shared_ptr<Preferences> preferences_;
    PlatformTransport transport_;
};

}  // namespace fenk
