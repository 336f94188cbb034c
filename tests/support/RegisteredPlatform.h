#pragma once

#include "FenkSDK/UserDefault.h"
#include "FenkSDK/api/FG_Authenticate.h"
#include "FenkSDK/ports/Preferences.h"
#include "adapters/fake/FakeHttp.h"

#include <string>
#include <string_view>
#include <vector>

namespace fenk {

// What a registered installation keeps: the user "user-1" and a record addressing https://platform.example.
inline void storeRegisteredSession(Preferences& preferences) {
    preferences.setString(settingsKeys::kKeyResourceId, "user-1");
    preferences.setString(settingsKeys::kKeyAppKey, "KEY");
    UserDefault(preferences).saveRecord(FG_Authenticate{"https://platform.example", "1.0", "old", "soa.api.fenk"},
                                        settingsKeys::kKeyCacheAutenticate);
}

// The addresses of the requests sent to one service.
inline std::vector<std::string> requestsTo(const FakeHttp& http, std::string_view service) {
    std::vector<std::string> urls;
    for (const auto& request : http.requests()) {
        if (request.url.find(service) != std::string::npos) urls.push_back(request.url);
    }
    return urls;
}

}  // namespace fenk
