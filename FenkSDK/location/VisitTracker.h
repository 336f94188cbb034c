#pragma once

#include "FenkSDK/ports/Location.h"

#include <memory>

namespace fenk {

class NotificationCenter;

// Watches the places where the device stays, in a session of its own, as soon as the user allows it, and
// announces each visit as a position record. Use it, and destroy it, on the main queue only.
class VisitTracker final : public LocationDelegate {
public:
    VisitTracker(Location& location, std::shared_ptr<const NotificationCenter> notificationCenter);

    void didChangeAuthorization(LocationAuthorizationStatus status) override;
    void didVisit(const Visit& visit) override;

private:
    std::shared_ptr<const NotificationCenter> notificationCenter_;
    std::unique_ptr<LocationSession> locationManager_;
};

}  // namespace fenk
