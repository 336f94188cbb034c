#include "FenkSDK/engagement/LocalNotice.h"

#include "FenkSDK/api/WellFormedUrl.h"
#include "FenkSDK/engagement/ImageDownload.h"
#include "FenkSDK/engagement/NoticeKeys.h"
#include "FenkSDK/ports/Dispatcher.h"
#include "FenkSDK/ports/UserNotifications.h"
#include "FenkSDK/registration/DeviceIdentifier.h"

#include <map>
#include <mutex>
#include <utility>

namespace fenk {
namespace {

// One notice on its way: added once its delay has passed and its image, if it waits for one, has arrived or
// failed, whichever comes last.
class PendingNotice {
public:
    PendingNotice(NotificationRequest request, bool awaitsImage, std::shared_ptr<UserNotifications> notifications)
        : request_(std::move(request)), imageSettled_(!awaitsImage), notifications_(std::move(notifications)) {}

    void delayPassed() {
        std::unique_lock lock(mutex_);
        due_ = true;
        addWhenReady(std::move(lock));
    }

    void imageSettled(std::optional<Data> image) {
        std::unique_lock lock(mutex_);
        request_.image = std::move(image);
        imageSettled_ = true;
        addWhenReady(std::move(lock));
    }

private:
    void addWhenReady(std::unique_lock<std::mutex> lock) {
        if (!due_ || !imageSettled_ || added_) return;
        added_ = true;
        NotificationRequest request = std::move(request_);
        lock.unlock();
        notifications_->add(std::move(request));
    }

    std::mutex mutex_;
    NotificationRequest request_;
    bool imageSettled_;
    bool due_ = false;
    bool added_ = false;
    std::shared_ptr<UserNotifications> notifications_;
};

std::map<std::string, std::string> linkUserInfo(const std::optional<std::string>& message,
                                                const std::optional<std::string>& iconLink,
                                                const std::optional<std::string>& link) {
    if (!link || !isWellFormedUrl(*link)) return {};
    std::map<std::string, std::string> userInfo{{std::string(noticeKeys::kType), std::string(noticeKeys::kNoticeType)},
                                                {std::string(noticeKeys::kLinkUrl), *link}};
    if (message) userInfo.emplace(noticeKeys::kMessage, *message);
    if (iconLink) userInfo.emplace(noticeKeys::kIcon, *iconLink);
    return userInfo;
}

}  // namespace

LocalNotice::LocalNotice(std::shared_ptr<UserNotifications> notifications, std::shared_ptr<Http> http,
                         std::shared_ptr<DispatchQueue> queue)
    : notifications_(std::move(notifications)), http_(std::move(http)), queue_(std::move(queue)) {}

void LocalNotice::scheduleLocalNotification(const std::optional<std::string>& message,
                                            const std::optional<std::string>& iconLink,
                                            const std::optional<std::string>& link) const {
    if (!notifications_) return;
    const auto pending = std::make_shared<PendingNotice>(
        NotificationRequest{.identifier = makeRandomUuid(fillFromRandomDevice),
                            .title = message.value_or(""),
                            .userInfo = linkUserInfo(message, iconLink, link),
                            .image = std::nullopt},
        iconLink.has_value(), notifications_);
    queue_->asyncAfter(kDelay, [pending] { pending->delayPassed(); });
    if (!iconLink) return;
    downloadImage(*http_, *iconLink, {kImageTimeout, kMaxImageBytes},
                  [pending, queue = queue_](std::optional<Data> image) {
                      queue->async([pending, image = std::move(image)]() mutable {
                          pending->imageSettled(std::move(image));
                      });
                  });
}

}  // namespace fenk
