#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace fenk {

using UserInfo = std::map<std::string, std::any>;

struct Notification {
    std::string name;
    // The posting object, held as std::shared_ptr<T>; `object<T>()` recovers it.
    std::any sender;
    // Address of the posting object, compared against observers' object filters.
    const void* senderIdentity = nullptr;
    UserInfo userInfo;

    template <class T>
    std::shared_ptr<T> object() const {
        const auto* held = std::any_cast<std::shared_ptr<T>>(&sender);
        return held ? *held : nullptr;
    }
};

// Posts named notifications to observers, synchronously on the posting thread.
class NotificationCenter {
public:
    using Observer = std::function<void(const Notification&)>;
    using ObserverId = std::uint64_t;

    // An empty `name` observes every notification; `objectFilter` limits the observer to notifications
    // posted by that object (compared by identity).
    ObserverId addObserver(std::string_view name, const void* objectFilter, Observer observer);
    void removeObserver(ObserverId id);

    void post(Notification notification) const;
    void post(std::string_view name, UserInfo userInfo = {}) const;
    template <class T>
    void post(std::string_view name, const std::shared_ptr<T>& object, UserInfo userInfo = {}) const {
        post(Notification{std::string(name), object, object.get(), std::move(userInfo)});
    }

private:
    struct Registration {
        ObserverId id;
        std::string name;
        const void* objectFilter;
        std::shared_ptr<const Observer> observer;
    };

    mutable std::mutex mutex_;
    ObserverId nextId_ = 1;
    std::vector<Registration> registrations_;
};

}  // namespace fenk
