#include "adapters/fake/FakeDispatcher.h"
#include "adapters/fake/RecordingNotifications.h"
#include "contract/UserNotificationsContract.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace fenk {
namespace {

struct RecordingNotificationsDriver {
    std::shared_ptr<UserNotifications> notifications() { return fake; }
    bool open(const NotificationRequest& request) { return fake->open(request.identifier); }
    void pump() { dispatcher.runUntilIdle(); }
    Duration patience() const { return Duration::zero(); }
    std::optional<std::string> unavailableReason() const { return std::nullopt; }

    FakeDispatcher dispatcher;
    std::shared_ptr<RecordingNotifications> fake = std::make_shared<RecordingNotifications>(dispatcher.mainQueue());
};

}  // namespace

namespace contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Recording, UserNotificationsContract, RecordingNotificationsDriver);
}  // namespace contract
}  // namespace fenk
