#pragma once

#include "FenkSDK/ports/Dispatcher.h"
#include "FenkSDK/ports/UserNotifications.h"
#include "adapters/linux/DesktopNoticeImages.h"

#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace fenk {

// Notices shown by the desktop's notification server on the session bus. The first notice connects (a host
// that never shows one never touches the bus); a thread of the adapter's own then reads the server's answers
// and signals. Opening a notice calls the handler on `queue`; closing it deletes its image file. Without a
// bus or a server, the notice is dropped with one console line per kind of failure until a notice shows again.
class DesktopNotifications final : public UserNotifications {
public:
    // `busAddress` absent: the user's session bus, as the environment names it.
    DesktopNotifications(std::filesystem::path imageFolder, std::shared_ptr<DispatchQueue> queue,
                         std::optional<std::string> busAddress = std::nullopt);
    ~DesktopNotifications() override;
    DesktopNotifications(const DesktopNotifications&) = delete;
    DesktopNotifications& operator=(const DesktopNotifications&) = delete;

    void add(NotificationRequest request) override;
    void setOpenedHandler(OpenedHandler handler) override;

private:
    enum class Failure { noBus, noServer, refused, imageNotKept };
    class Session;
    class Shared;

    const std::optional<std::string> busAddress_;
    const DesktopNoticeImages images_;
    const std::shared_ptr<Shared> shared_;
    std::mutex mutex_;
    // Made by the first notice, and again after the bus went away; it goes first, stopping its thread.
    std::unique_ptr<Session> session_;
};

}  // namespace fenk
