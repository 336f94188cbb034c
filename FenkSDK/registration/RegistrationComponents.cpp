#include "FenkSDK/registration/RegistrationComponents.h"

#include "FenkSDK/api/PlatformTransport.h"
#include "FenkSDK/ports/Dispatcher.h"
#include "FenkSDK/registration/AccountService.h"
#include "FenkSDK/registration/DeviceRegistration.h"
#include "FenkSDK/registration/NotificationTokens.h"

#include <utility>

namespace fenk {

RegistrationComponents makeRegistrationComponents(const Environment& environment,
                                                  std::shared_ptr<DispatchQueue> fenkQueue,
                                                  std::shared_ptr<AtomicBoolean> runningRegistration,
                                                  std::function<bool()> isConnectedToNetwork,
                                                  std::function<void()> checkStartTracking) {
    const PlatformTransport transport(environment.http, environment.dispatcher);
    const auto globalQueue = environment.dispatcher->globalQueue();
    auto accounts = std::make_shared<AccountService>(
        AccountService::Collaborators{.preferences = environment.preferences,
                                      .device = environment.device,
                                      .transport = transport,
                                      .globalQueue = globalQueue,
                                      .isConnectedToNetwork = isConnectedToNetwork});
    auto tokens = std::make_shared<NotificationTokens>(
        NotificationTokens::Collaborators{.preferences = environment.preferences,
                                          .fenkQueue = fenkQueue,
                                          .globalQueue = globalQueue,
                                          .runningRegistration = runningRegistration,
                                          .accounts = accounts});
    auto registration = std::make_shared<DeviceRegistration>(
        DeviceRegistration::Collaborators{.preferences = environment.preferences,
                                          .secureStore = environment.secureStore,
                                          .device = environment.device,
                                          .transport = transport,
                                          .fenkQueue = std::move(fenkQueue),
                                          .globalQueue = globalQueue,
                                          .runningRegistration = std::move(runningRegistration),
                                          .accounts = accounts,
                                          .isConnectedToNetwork = std::move(isConnectedToNetwork),
                                          .checkStartTracking = std::move(checkStartTracking)});
    return {std::move(accounts), std::move(registration), std::move(tokens)};
}

}  // namespace fenk
