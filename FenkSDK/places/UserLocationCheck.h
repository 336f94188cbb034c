#pragma once

#include "FenkSDK/api/PlatformTransport.h"
#include "FenkSDK/location/StoredLocation.h"
#include "FenkSDK/registration/AuthenticationSession.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace fenk {

class Device;
class DispatchQueue;
class Preferences;

// Tells the host in which city, region and country the device was last seen: the latest stored position,
// sent to the platform's tracking-info service. The SDK keeps nothing of the answer.
//
// Cheap to copy: the work in flight carries its own copy, so the owner may be gone before a reply comes.
class UserLocationCheck {
public:
    using PlaceNames = std::optional<std::map<std::string, std::string>>;
    using Completion = std::function<void(PlaceNames names)>;
    using LastStoredPosition = std::function<std::optional<StoredLocation>()>;

    UserLocationCheck(std::shared_ptr<Preferences> preferences, PlatformTransport transport,
                      std::shared_ptr<Device> device, std::shared_ptr<DispatchQueue> globalQueue,
                      LastStoredPosition lastStoredPosition);

    // Returns at once and completes exactly once, never on the calling thread (without a completion nothing
    // is asked):
    //  - below system version 11, with "city", "region" and "country" all empty, as a task of `globalQueue`;
    //  - without a stored position, with none, and nothing is sent;
    //  - otherwise, on the queue the reply arrives on: none when the request failed (without an
    //    authentication record nothing can be sent, which counts as failed) or the reply did not decode; an
    //    empty map for a reply without data; else each of "city", "region" and "country" the data holds,
    //    empty ones included. The reply's status is not looked at: an error that brings data is used.
    void checkUserLocation(Completion completion) const;

private:
    AuthenticationSession session_;
    PlatformTransport transport_;
    std::shared_ptr<Device> device_;
    std::shared_ptr<DispatchQueue> globalQueue_;
    LastStoredPosition lastStoredPosition_;
};

}  // namespace fenk
