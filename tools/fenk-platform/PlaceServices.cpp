#include "tools/fenk-platform/PlaceServices.h"

namespace fenk::placeServices {

std::string findPlacesNearby(ServiceContext& context, const ServiceCall& call) {
    return successReply(call, context.catalogue.placesNear(call.app, requireCoordinate(call)));
}

std::string trackingInfo(ServiceContext& context, const ServiceCall& call) {
    return successReply(call, context.catalogue.trackingInfo(call.app, requireCoordinate(call)));
}

}  // namespace fenk::placeServices
