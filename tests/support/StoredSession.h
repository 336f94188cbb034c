#pragma once

#include "FenkSDK/UserDefault.h"
#include "FenkSDK/api/FG_Authenticate.h"
#include "FenkSDK/ports/Preferences.h"

namespace fenk {

// What a registered installation keeps: the user "user-1" and a record addressing https://platform.example.
inline void storeRegisteredSession(Preferences& preferences) {
    preferences.setString(settingsKeys::kKeyResourceId, "user-1");
    preferences.setString(settingsKeys::kKeyAppKey, "KEY");
    UserDefault(preferences).saveRecord(FG_Authenticate{"https://platform.example", "1.0", "old", "soa.api.fenk"},
                                        settingsKeys::kKeyCacheAutenticate);
}

}  // namespace fenk
