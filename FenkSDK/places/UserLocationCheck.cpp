#include "FenkSDK/places/UserLocationCheck.h"

#include "FenkSDK/api/ServiceCatalogue.h"
#include "FenkSDK/ports/Device.h"
#include "FenkSDK/ports/Dispatcher.h"
#include "FenkSDK/runtime/DecimalText.h"
#include "FenkSDK/runtime/GuaranteedCompletion.h"

#include <utility>

namespace fenk {
namespace {

// Older systems are answered without asking the platform.
constexpr SystemVersionLevel kFirstAskingVersion{11, 0};

std::map<std::string, std::string> placeNames(const FG_TrackingInfo& info) {
    std::map<std::string, std::string> names;
    if (info.city) names.emplace("city", *info.city);
    if (info.region) names.emplace("region", *info.region);
    if (info.country) names.emplace("country", *info.country);
    return names;
}

}  // namespace

UserLocationCheck::UserLocationCheck(std::shared_ptr<Preferences> preferences, PlatformTransport transport,
                                     std::shared_ptr<Device> device, std::shared_ptr<DispatchQueue> globalQueue,
                                     LastStoredPosition lastStoredPosition)
    : session_(std::move(preferences), transport),
      transport_(std::move(transport)),
      device_(std::move(device)),
      globalQueue_(std::move(globalQueue)),
      lastStoredPosition_(std::move(lastStoredPosition)) {}

void UserLocationCheck::checkUserLocation(Completion completion) const {
    if (!completion) return;
    if (device_->systemVersionLevel() < kFirstAskingVersion) {
        const std::map<std::string, std::string> unknown{{"city", ""}, {"region", ""}, {"country", ""}};
        return completeOn<PlaceNames>(*globalQueue_, std::move(completion), unknown);
    }
    globalQueue_->async([self = *this, completion = std::move(completion)] {
        const auto position = self.lastStoredPosition_();
        if (!position) return completion(std::nullopt);
        const LocationCoordinate2D coordinate = position->asLocation().coordinate;
        self.session_.callService(
            FG_SoaApiPellar_TrackingInfoService(self.transport_),
            FG_SoaApiPellar_TrackingInfoParametersIn{.i_longitude = fixedDecimals(coordinate.longitude, 6),
                                                     .i_latitude = fixedDecimals(coordinate.latitude, 6)},
            [completion](std::optional<FG_SoaApiPellar_TrackingInfoParametersOut> reply) {
                if (!reply) return completion(std::nullopt);
                completion(reply->data ? placeNames(*reply->data) : std::map<std::string, std::string>{});
            });
    });
}

}  // namespace fenk
