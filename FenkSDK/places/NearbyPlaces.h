#pragma once

#include "FenkSDK/api/FG_DTSPlace.h"
#include "FenkSDK/api/PlatformTransport.h"
#include "FenkSDK/registration/AuthenticationSession.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace fenk {

class DispatchQueue;
class Preferences;

// Asks the platform which of its places lie near a position, and raises the notice the first of them
// carries ("d2s-message", "d2s-icon" and "d2s-link-url" among its extras). The SDK keeps nothing of the
// answer.
//
// Cheap to copy: the work in flight carries its own copy, so the owner may be gone before a reply comes.
class NearbyPlaces {
public:
    using Places = std::optional<std::vector<FG_DTSPlace>>;
    using Completion = std::function<void(Places places)>;
    // Raises a notice (see LocalNotice::scheduleLocalNotification).
    using ScheduleNotice = std::function<void(const std::optional<std::string>& message,
                                              const std::optional<std::string>& iconLink,
                                              const std::optional<std::string>& link)>;

    NearbyPlaces(std::shared_ptr<Preferences> preferences, PlatformTransport transport,
                 std::shared_ptr<DispatchQueue> globalQueue, ScheduleNotice scheduleNotice);

    // Returns at once; the request is made from `globalQueue` after a fresh authentication, with the
    // coordinate in six fixed decimals. Completes exactly once, on the queue the reply arrives on, with
    // the places the platform listed, or none when the request failed, the reply did not decode, or it
    // listed no places (no authentication record to address the platform with counts as failed).
    void requestNearbyPlaces(double latitude, double longitude, Completion completion) const;

    // Raises the first place's notice and completes with the places, on the calling thread. Nothing to
    // raise from: none or an empty list completes with none; a first place without extras completes with
    // the places and raises nothing. Among the extras a later one of a name replaces an earlier one; names
    // are matched exactly.
    void handleNearbyPlaces(Places places, const Completion& completion) const;

private:
    AuthenticationSession session_;
    std::shared_ptr<Preferences> preferences_;
    PlatformTransport transport_;
    std::shared_ptr<DispatchQueue> globalQueue_;
    ScheduleNotice scheduleNotice_;
};

}  // namespace fenk
