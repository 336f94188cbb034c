#pragma once

#include "TestBusService.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fenk {

// A notification server of the test's own: it records each notice it is asked to show, numbering them from 1,
// and sends the signals a desktop sends when the user opens or dismisses one.
class TestNotificationServer {
public:
    static constexpr std::chrono::seconds kServerPatience{20};

    struct Shown {
        std::uint32_t id = 0;
        std::vector<std::string> actions;
        std::map<std::string, std::string> textHints;
    };

    explicit TestNotificationServer(const std::string& address)
        : service_(address, "org.freedesktop.Notifications", "/org/freedesktop/Notifications",
                   [this](sd_bus_message* call) { return notify(call); }) {}

    bool ready() const { return service_.ready(); }

    // The notice shown under `title`, once it came.
    std::optional<Shown> waitFor(const std::string& title) {
        std::unique_lock lock(mutex_);
        if (!changed_.wait_for(lock, kServerPatience, [&] { return shown_.contains(title); })) return std::nullopt;
        return shown_.at(title);
    }

    // How many notices it was asked to show, a title shown twice counting twice.
    std::size_t notifyCount() {
        std::lock_guard lock(mutex_);
        return notifies_;
    }

    void emit(const char* signal, std::uint32_t id) {
        service_.withBus([&](sd_bus* bus) {
            if (std::string_view(signal) == "ActionInvoked") {
                sd_bus_emit_signal(bus, kPath, kInterface, signal, "us", id, "default");
            } else {
                sd_bus_emit_signal(bus, kPath, kInterface, signal, "uu", id, 2u);
            }
        });
    }

private:
    static constexpr const char* kPath = "/org/freedesktop/Notifications";
    static constexpr const char* kInterface = "org.freedesktop.Notifications";

    int notify(sd_bus_message* call) {
        if (!sd_bus_message_is_method_call(call, kInterface, "Notify")) return 0;
        const char *application, *icon, *title, *body;
        std::uint32_t replaces = 0;
        char** actions = nullptr;
        if (sd_bus_message_read(call, "susss", &application, &replaces, &icon, &title, &body) < 0 ||
            sd_bus_message_read_strv(call, &actions) < 0) {
            return -EINVAL;
        }
        Shown shown;
        for (char** action = actions; action && *action; ++action) {
            shown.actions.emplace_back(*action);
            std::free(*action);
        }
        std::free(actions);
        sd_bus_message_enter_container(call, 'a', "{sv}");
        while (sd_bus_message_enter_container(call, 'e', "sv") > 0) {
            const char *key, *value;
            if (sd_bus_message_read(call, "s", &key) >= 0 && sd_bus_message_read(call, "v", "s", &value) >= 0) {
                shown.textHints[key] = value;
            }
            sd_bus_message_exit_container(call);
        }
        std::lock_guard lock(mutex_);
        shown.id = static_cast<std::uint32_t>(shown_.size() + 1);
        shown_[title] = shown;
        ++notifies_;
        changed_.notify_all();
        return sd_bus_reply_method_return(call, "u", shown.id);
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<std::string, Shown> shown_;
    std::size_t notifies_ = 0;
    TestBusService service_;  // last: its thread stops before the records go
};

}  // namespace fenk
