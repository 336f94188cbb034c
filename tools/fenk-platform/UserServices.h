#pragma once

#include <string>

#include "tools/fenk-platform/ServiceCall.h"

// The services about the user, the app's parameters and positions.
namespace fenk::userServices {

std::string info(ServiceContext& context, const ServiceCall& call);
std::string appParameters(ServiceContext& context, const ServiceCall& call);
std::string createAnonymous(ServiceContext& context, const ServiceCall& call);
std::string update(ServiceContext& context, const ServiceCall& call);
std::string userProfile(ServiceContext& context, const ServiceCall& call);
std::string locationUpdate(ServiceContext& context, const ServiceCall& call);

}  // namespace fenk::userServices
