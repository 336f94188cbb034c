#include "FenkSDK/places/NearbyPlaces.h"

#include "FenkSDK/api/ServiceCatalogue.h"
#include "FenkSDK/engagement/NoticeKeys.h"
#include "FenkSDK/ports/Dispatcher.h"
#include "FenkSDK/runtime/DecimalText.h"

#include <utility>

namespace fenk {

NearbyPlaces::NearbyPlaces(std::shared_ptr<Preferences> preferences, PlatformTransport transport,
                           std::shared_ptr<DispatchQueue> globalQueue, ScheduleNotice scheduleNotice)
    : session_(preferences, transport),
      preferences_(std::move(preferences)),
      transport_(std::move(transport)),
      globalQueue_(std::move(globalQueue)),
      scheduleNotice_(std::move(scheduleNotice)) {}

void NearbyPlaces::requestNearbyPlaces(double latitude, double longitude, Completion completion) const {
    globalQueue_->async([self = *this, latitude, longitude, completion = std::move(completion)] {
        // The service reads the stored resource id through a reference: the session's copy inside the call
        // holds the same settings alive until the reply.
        const FG_SoaApiPlace_FindNearbyService service(self.transport_, *self.preferences_);
        self.session_.callService(
            service,
            FG_SoaApiPlace_FindNearbyParametersIn{.i_longitude = fixedDecimals(longitude, 6),
                                                  .i_latitude = fixedDecimals(latitude, 6)},
            [self, completion](std::optional<FG_SoaApiPlace_FindNearbyParametersOut> reply) {
                self.handleNearbyPlaces(reply ? std::move(reply->data) : std::nullopt, completion);
            });
    });
}

void NearbyPlaces::handleNearbyPlaces(Places places, const Completion& completion) const {
    const auto complete = [&completion](Places answer) {
        if (completion) completion(std::move(answer));
    };
    if (!places || places->empty()) return complete(std::nullopt);
    const auto& extras = places->front().extras;
    // No extras, no notice; the caller still hears the places, or it would wait for them forever.
    if (!extras) return complete(std::move(places));

    std::optional<std::string> message;
    std::optional<std::string> iconLink;
    std::optional<std::string> link;
    for (const FG_Extra& extra : *extras) {
        if (extra.name == noticeKeys::kMessage) message = extra.value;
        else if (extra.name == noticeKeys::kIcon) iconLink = extra.value;
        else if (extra.name == noticeKeys::kLinkUrl) link = extra.value;
    }
    if (scheduleNotice_) scheduleNotice_(message, iconLink, link);
    complete(std::move(places));
}

}  // namespace fenk
