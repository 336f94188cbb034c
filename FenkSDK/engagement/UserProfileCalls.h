#pragma once

#include "FenkSDK/api/FG_UserHabit.h"
#include "FenkSDK/api/PlatformTransport.h"
#include "FenkSDK/registration/AuthenticationSession.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace fenk {

class DispatchQueue;
class Preferences;

// The user's habits as the platform profiles them, kept under "FENK_USER_PROFILE" so that the host gets an
// answer at once, offline too, and the platform is asked again in the background.
//
// Cheap to copy: the work in flight carries its own copy, so the owner may be gone before a reply comes.
class UserProfileCalls {
public:
    using Habits = std::optional<std::vector<FG_UserHabit>>;
    using Completion = std::function<void(Habits habits)>;

    UserProfileCalls(std::shared_ptr<Preferences> preferences, PlatformTransport transport,
                     std::shared_ptr<DispatchQueue> globalQueue, std::function<bool()> isConnected);

    // Returns at once and completes exactly once. With a stored profile: with it, on the global queue, and the
    // profile is fetched anew behind it. Without one: with what fetchUserProfile answers when online, else
    // with none on the global queue.
    void getUserProfile(Completion completion) const;
    // Returns at once and completes exactly once: none offline (on the global queue); otherwise, after
    // refreshing the session, on the thread the reply arrives on. A reply "OK" with data replaces the stored
    // profile: its habits are stored and answered; without habits the stored profile is removed, so that a
    // stale one does not outlive the platform's, and the empty list is answered. Any other outcome answers
    // the empty list and keeps what is stored.
    void fetchUserProfile(Completion completion) const;

private:
    void fetchNow(Completion completion) const;
    // Stores the habits, or removes the stored profile when there are none; synchronised at once.
    void store(const std::vector<FG_UserHabit>& habits) const;

    std::shared_ptr<Preferences> preferences_;
    AuthenticationSession session_;
    PlatformTransport transport_;
    std::shared_ptr<DispatchQueue> globalQueue_;
    std::function<bool()> isConnected_;
};

}  // namespace fenk
