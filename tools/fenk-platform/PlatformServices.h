#pragma once

#include <string>
#include <string_view>

#include "tools/fenk-platform/PlatformCatalogue.h"
#include "tools/fenk-platform/PlatformStore.h"
#include "tools/fenk-platform/RandomIdentifiers.h"
#include "tools/fenk-platform/ServiceCall.h"
#include "tools/fenk-platform/SessionRegistry.h"
#include "tools/fenk-platform/UrlEncoding.h"

namespace fenk {

// The statuses the platform answers with besides 200.
inline constexpr int kBadRequest = 400;
inline constexpr int kNotFound = 404;
inline constexpr int kMethodNotAllowed = 405;
inline constexpr int kInternalError = 500;

struct PlatformReply {
    int status = 200;
    std::string body{};  // JSON
};

// The platform's interface: authentication, and every service behind a valid token. Outcomes travel in
// the reply envelope ("OK" or "ERROR" with a messageCode); only a path or method outside the interface
// gets an HTTP error status. Thread-safe.
class PlatformServices {
public:
    static constexpr std::string_view kApiName = "soa.api.fenk";
    static constexpr std::string_view kVersion = "1.0";

    PlatformServices(const PlatformCatalogue& catalogue, PlatformStore& store);

    // `parameters` are the query of a GET or the form of a POST.
    PlatformReply answer(std::string_view method, std::string_view path, const NameValueList& parameters);

    // What a request that is refused before any service looks at it receives.
    static std::string refusal(std::string_view messageCode, std::string_view message);

private:
    PlatformReply authenticate(const NameValueList& query);
    PlatformReply callService(std::string_view method, std::string_view service, std::optional<std::string> resourceId,
                              const NameValueList& parameters);

    SessionRegistry sessions_;
    RandomIdentifiers identifiers_;
    ServiceContext context_;
};

}  // namespace fenk
