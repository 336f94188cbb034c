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

// "k:v,k:v" into its pairs: only the first two parts of a pair count, and a pair without ":" or without a
// name is skipped. Repeated names stay repeated (applied in order, the later wins).
NameValueList parseExtraText(std::string_view text);

}  // namespace fenk::userServices
