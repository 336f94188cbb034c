#pragma once

#include <string>

#include "tools/fenk-platform/ServiceCall.h"

// The app's groups and the user's memberships. Lists are paged by "items" (default 20) and "offset".
namespace fenk::groupServices {

std::string list(ServiceContext& context, const ServiceCall& call);
std::string findGroupname(ServiceContext& context, const ServiceCall& call);
std::string subscription(ServiceContext& context, const ServiceCall& call);
std::string join(ServiceContext& context, const ServiceCall& call);
std::string leave(ServiceContext& context, const ServiceCall& call);

}  // namespace fenk::groupServices
