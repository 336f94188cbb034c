#pragma once

#include <string>

#include "tools/fenk-platform/ServiceCall.h"

// The services that answer from the coordinate a device sends.
namespace fenk::placeServices {

// The app's places whose radius covers the coordinate, nearest first, with their notice extras.
std::string findPlacesNearby(ServiceContext& context, const ServiceCall& call);
// The app's site and the names of the area around the coordinate.
std::string trackingInfo(ServiceContext& context, const ServiceCall& call);

}  // namespace fenk::placeServices
