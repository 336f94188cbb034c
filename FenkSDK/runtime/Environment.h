#pragma once

#include <memory>
#include <string>

namespace fenk {

class Application;
class Device;
class Dispatcher;
class Http;
class LinkOpener;
class Location;
class NotificationCenter;
class Preferences;
class Reachability;
class RecordQueue;
class SecureStore;
class Ui;
class UserNotifications;

// The operating-system services the SDK runs on, chosen once per process: the host (or a test) installs
// one before the first FenkManager::sharedManager(); otherwise the default of the linked adapters is used.
struct Environment {
    std::shared_ptr<Dispatcher> dispatcher;
    std::shared_ptr<NotificationCenter> notificationCenter;
    std::shared_ptr<Preferences> preferences;
    std::shared_ptr<SecureStore> secureStore;
    std::shared_ptr<Reachability> reachability;
    std::shared_ptr<Application> application;
    std::shared_ptr<Http> http;
    std::shared_ptr<Device> device;
    std::shared_ptr<Location> location;
    // Positions waiting for the platform; kept beside the settings.
    std::shared_ptr<RecordQueue> uploadQueue;
    std::shared_ptr<UserNotifications> notifications;
    std::shared_ptr<LinkOpener> linkOpener;
    // The host's window; none: a host without one, where nothing is shown.
    std::shared_ptr<Ui> ui{};
    // Where the online player's page loads the player's script from; empty: the player's own address.
    std::string playerScriptAddress{};

    static void install(Environment environment);
    // The installed environment, installing the default one on first use.
    static Environment current();
};

// Provided by the adapters linked into the program (the Linux ones in the shipped library).
Environment makeDefaultEnvironment();

}  // namespace fenk
