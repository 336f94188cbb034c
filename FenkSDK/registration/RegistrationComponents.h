#pragma once

#include "FenkSDK/runtime/Environment.h"

#include <functional>
#include <memory>

namespace fenk {

class AccountService;
class AtomicBoolean;
class DeviceRegistration;
class DispatchQueue;
class NotificationTokens;

// The registration side of the manager, wired to one environment: who keeps the user record, who registers
// the device, who sends the notifications token.
struct RegistrationComponents {
    std::shared_ptr<AccountService> accounts;
    std::shared_ptr<DeviceRegistration> registration;
    std::shared_ptr<NotificationTokens> tokens;
};

// `fenkQueue` runs the registration's first phase and the token calls; `runningRegistration` is the flag
// they share with the tracking check; `checkStartTracking` is asked for when a registration ends.
RegistrationComponents makeRegistrationComponents(const Environment& environment,
                                                  std::shared_ptr<DispatchQueue> fenkQueue,
                                                  std::shared_ptr<AtomicBoolean> runningRegistration,
                                                  std::function<bool()> isConnectedToNetwork,
                                                  std::function<void()> checkStartTracking);

}  // namespace fenk
