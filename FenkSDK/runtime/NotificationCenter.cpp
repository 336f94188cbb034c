#include "FenkSDK/runtime/NotificationCenter.h"

#include <algorithm>

namespace fenk {

NotificationCenter::ObserverId NotificationCenter::addObserver(std::string_view name, const void* objectFilter,
                                                               Observer observer) {
    std::lock_guard lock(mutex_);
    const ObserverId id = nextId_++;
    registrations_.push_back(
        {id, std::string(name), objectFilter, std::make_shared<const Observer>(std::move(observer))});
    return id;
}

void NotificationCenter::removeObserver(ObserverId id) {
    std::lock_guard lock(mutex_);
    std::erase_if(registrations_, [id](const Registration& r) { return r.id == id; });
}

void NotificationCenter::post(Notification notification) const {
    // Observers run outside the lock so that they may post, observe or remove in turn.
    std::vector<std::shared_ptr<const Observer>> matching;
    {
        std::lock_guard lock(mutex_);
        for (const auto& r : registrations_) {
            if ((r.name.empty() || r.name == notification.name) &&
                (r.objectFilter == nullptr || r.objectFilter == notification.senderIdentity)) {
                matching.push_back(r.observer);
            }
        }
    }
    for (const auto& observer : matching) (*observer)(notification);
}

void NotificationCenter::post(std::string_view name, UserInfo userInfo) const {
    post(Notification{std::string(name), {}, nullptr, std::move(userInfo)});
}

}  // namespace fenk
