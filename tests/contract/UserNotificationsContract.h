#pragma once

#include "FenkSDK/ports/Clock.h"
#include "FenkSDK/ports/UserNotifications.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace fenk::contract {

using UserInfo = std::map<std::string, std::string>;

// What every notification adapter must do, run against each of them. A driver provides:
//   std::shared_ptr<UserNotifications> notifications();
//   bool open(const NotificationRequest&);   the user clicks the notice shown for that request
//   void pump();                             runs queued work where nothing else does (a fake dispatcher)
//   Duration patience() const;               how long the handler may take to run
//   std::optional<std::string> unavailableReason() const;

// The user information the handler received, and a wait for it on a condition with a deadline.
class OpenedLog {
public:
    UserNotifications::OpenedHandler handler() {
        return [this](const UserInfo& userInfo) {
            std::lock_guard lock(mutex_);
            opened_.push_back(userInfo);
            changed_.notify_all();
        };
    }
    bool waitForCount(std::size_t count, Duration patience) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, patience, [&] { return opened_.size() >= count; });
    }
    std::vector<UserInfo> opened() const {
        std::lock_guard lock(mutex_);
        return opened_;
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<UserInfo> opened_;
};

template <class Driver>
class UserNotificationsContract : public ::testing::Test {
protected:
    void SetUp() override {
        if (const auto reason = driver_.unavailableReason()) GTEST_SKIP() << *reason;
    }

    Driver driver_;
    OpenedLog log_;
};

TYPED_TEST_SUITE_P(UserNotificationsContract);

// Of two notices, the one the user opens hands its own user information to the handler set last.
TYPED_TEST_P(UserNotificationsContract, OpeningANoticeHandsItsUserInfoToTheHandler) {
    auto& driver = this->driver_;
    const auto notifications = driver.notifications();
    notifications->setOpenedHandler([](const UserInfo&) { ADD_FAILURE() << "an earlier handler ran"; });
    notifications->setOpenedHandler(this->log_.handler());
    const NotificationRequest first{"first", "First notice", {{"campaign", "7"}}, std::nullopt};
    const NotificationRequest second{"second", "Second notice", {{"campaign", "8"}, {"place", "café"}}, std::nullopt};
    notifications->add(first);
    notifications->add(second);

    ASSERT_TRUE(driver.open(second));
    driver.pump();
    ASSERT_TRUE(this->log_.waitForCount(1, driver.patience()));
    EXPECT_EQ(this->log_.opened(), std::vector<UserInfo>{second.userInfo});
}

REGISTER_TYPED_TEST_SUITE_P(UserNotificationsContract, OpeningANoticeHandsItsUserInfoToTheHandler);

}  // namespace fenk::contract
