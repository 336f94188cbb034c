#include "FenkSDK/engagement/UserProfileCalls.h"

#include "FenkSDK/UserDefault.h"
#include "FenkSDK/api/ServiceCatalogue.h"
#include "FenkSDK/ports/Dispatcher.h"
#include "FenkSDK/ports/Preferences.h"

#include <utility>

namespace fenk {

UserProfileCalls::UserProfileCalls(std::shared_ptr<Preferences> preferences, PlatformTransport transport,
                                   std::shared_ptr<DispatchQueue> globalQueue, std::function<bool()> isConnected)
    : preferences_(preferences),
      session_(std::move(preferences), transport),
      transport_(std::move(transport)),
      globalQueue_(std::move(globalQueue)),
      isConnected_(std::move(isConnected)) {}

void UserProfileCalls::getUserProfile(Completion completion) const {
    globalQueue_->async([self = *this, completion = std::move(completion)] {
        // An empty list is never stored, so an empty read means nothing is.
        auto stored = UserDefault(*self.preferences_).getDataArray<FG_UserHabit>(settingsKeys::kFenkUserProfile);
        if (stored.empty() && self.isConnected_()) return self.fetchNow(completion);
        if (completion) completion(stored.empty() ? Habits{} : Habits(std::move(stored)));
        self.fetchNow({});
    });
}

void UserProfileCalls::fetchUserProfile(Completion completion) const {
    globalQueue_->async([self = *this, completion = std::move(completion)] { self.fetchNow(completion); });
}

void UserProfileCalls::fetchNow(Completion completion) const {
    const auto answer = [completion](Habits habits) {
        if (completion) completion(std::move(habits));
    };
    if (!isConnected_()) return answer(std::nullopt);
    session_.callService(
        FG_SoaApiUser_UserProfileService(transport_),
        {.i_resourceId = preferences_->string(settingsKeys::kKeyResourceId)},
        [self = *this, answer](std::optional<FG_SoaApiUser_UserProfileParametersOut> reply) {
            if (!reply || reply->response != "OK" || !reply->data) return answer(std::vector<FG_UserHabit>{});
            const auto habits = reply->data->userHabits.value_or(std::vector<FG_UserHabit>{});
            self.store(habits);
            answer(habits);
        });
}

void UserProfileCalls::store(const std::vector<FG_UserHabit>& habits) const {
    // Storing an empty list changes nothing, which would keep a profile the platform no longer has.
    if (habits.empty()) {
        preferences_->remove(settingsKeys::kFenkUserProfile);
    } else {
        UserDefault(*preferences_).setDataArray(habits, settingsKeys::kFenkUserProfile);
    }
    preferences_->synchronize();
}

}  // namespace fenk
