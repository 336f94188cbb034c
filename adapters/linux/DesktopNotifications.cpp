#include "adapters/linux/DesktopNotifications.h"

#include "FenkSDK/runtime/Console.h"
#include "adapters/linux/DesktopBus.h"
#include "adapters/linux/StoppableThread.h"

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <map>

namespace fenk {
namespace {

constexpr const char* kServer = "org.freedesktop.Notifications";
constexpr const char* kPath = "/org/freedesktop/Notifications";
// The action a server reports when the user clicks the notice itself.
constexpr const char* kDefaultAction = "default";

// A notice on its way to the server or on screen.
struct Notice {
    std::string title;
    std::map<std::string, std::string> userInfo;
    std::optional<std::filesystem::path> image;
};

// An eventfd, closed when it goes.
struct WakeDescriptor {
    WakeDescriptor() : fd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
    ~WakeDescriptor() {
        if (fd >= 0) ::close(fd);
    }
    WakeDescriptor(const WakeDescriptor&) = delete;
    WakeDescriptor& operator=(const WakeDescriptor&) = delete;

    const int fd;
};

}  // namespace

// What outlives a session: the handler, the queue it runs on, and which failures were already told.
class DesktopNotifications::Shared : public std::enable_shared_from_this<Shared> {
public:
    explicit Shared(std::shared_ptr<DispatchQueue> queue) : queue_(std::move(queue)) {}

    void setHandler(OpenedHandler handler) {
        std::lock_guard lock(mutex_);
        handler_ = std::move(handler);
    }

    void opened(std::map<std::string, std::string> userInfo) {
        queue_->async([self = weak_from_this(), userInfo = std::move(userInfo)] {
            const auto shared = self.lock();
            if (!shared) return;
            OpenedHandler handler;
            {
                std::lock_guard lock(shared->mutex_);
                handler = shared->handler_;
            }
            if (handler) handler(userInfo);
        });
    }

    void report(Failure failure, const std::string& line) {
        {
            std::lock_guard lock(mutex_);
            const auto bit = 1u << static_cast<unsigned>(failure);
            if ((reported_ & bit) != 0) return;
            reported_ |= bit;
        }
        Console::print(line);
    }

    // A notice showed: the next failure of any kind is news again.
    void shown() {
        std::lock_guard lock(mutex_);
        reported_ = 0;
    }

private:
    const std::shared_ptr<DispatchQueue> queue_;
    std::mutex mutex_;
    OpenedHandler handler_;
    unsigned reported_ = 0;
};

// One connection to the bus and the thread that serves it. Only that thread touches the bus once it runs;
// add() hands it notices through `pending_` and the wake descriptor.
class DesktopNotifications::Session {
public:
    static std::unique_ptr<Session> open(const std::optional<std::string>& address, std::shared_ptr<Shared> shared,
                                         int& error) {
        auto session = std::make_unique<Session>(std::move(shared));
        return (error = session->connect(address)) < 0 ? nullptr : std::move(session);
    }

    explicit Session(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}
    // Notices still on screen keep their images; those the server never took lose them.
    ~Session() {
        thread_.reset();
        for (const auto& notice : pending_) forget(notice);
        for (const auto& [cookie, notice] : awaiting_) forget(notice);
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // False once the bus went away; the notice then stays with the caller.
    bool send(Notice& notice) {
        if (!alive_) return false;
        {
            std::lock_guard lock(mutex_);
            pending_.push_back(std::move(notice));
        }
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto written = ::write(wake_.fd, &one, sizeof one);
        return true;
    }

private:
    int connect(const std::optional<std::string>& address) {
        if (wake_.fd < 0) return -errno;
        int result = 0;
        if (!(bus_ = connectSessionBus(address, result))) return result;
        sd_event* event = nullptr;
        if ((result = sd_event_new(&event)) < 0) return result;
        event_.reset(event);
        sd_event_source* wakeSource = nullptr;
        sd_bus_slot* actionSlot = nullptr;
        sd_bus_slot* closedSlot = nullptr;
        if ((result = sd_event_add_io(event, &wakeSource, wake_.fd, EPOLLIN, &Session::onWake, this)) < 0) return result;
        wakeSource_.reset(wakeSource);
        if ((result = sd_bus_attach_event(bus_.get(), event, SD_EVENT_PRIORITY_NORMAL)) < 0) return result;
        if ((result = sd_bus_match_signal(bus_.get(), &actionSlot, nullptr, kPath, kServer, "ActionInvoked",
                                          &Session::onActionInvoked, this)) < 0) {
            return result;
        }
        actionMatch_.reset(actionSlot);
        if ((result = sd_bus_match_signal(bus_.get(), &closedSlot, nullptr, kPath, kServer, "NotificationClosed",
                                          &Session::onClosed, this)) < 0) {
            return result;
        }
        closedMatch_.reset(closedSlot);
        thread_ = StoppableThread::start([this](const StoppableThread& thread) { run(thread); });
        return thread_ ? 0 : -errno;
    }

    void run(const StoppableThread& thread) {
        const int fd = sd_event_get_fd(event_.get());
        for (;;) {
            // One source runs per turn; the turn that finds nothing to run has set up the next wait.
            int result;
            while ((result = sd_event_run(event_.get(), 0)) > 0) {
            }
            if (result < 0 || sd_bus_is_open(bus_.get()) <= 0) break;
            if (thread.wait(fd, -1) == Wake::stop) return;
        }
        alive_ = false;
        shared_->report(Failure::noBus, "Lost the session bus; the next notice connects again");
    }

    static int onWake(sd_event_source*, int fd, std::uint32_t, void* self) {
        std::uint64_t count = 0;
        [[maybe_unused]] const auto read = ::read(fd, &count, sizeof count);
        static_cast<Session*>(self)->sendPending();
        return 0;
    }

    void sendPending() {
        std::deque<Notice> notices;
        {
            std::lock_guard lock(mutex_);
            notices.swap(pending_);
        }
        for (auto& notice : notices) {
            const auto cookie = call(notice);
            if (!cookie) {
                forget(notice);
                continue;
            }
            awaiting_.emplace(*cookie, std::move(notice));
        }
    }

    // Asks the server to show the notice; the cookie its answer will carry, or absent when it could not ask.
    std::optional<std::uint64_t> call(const Notice& notice) {
        sd_bus_message* raw = nullptr;
        int result = sd_bus_message_new_method_call(bus_.get(), &raw, kServer, kPath, kServer, "Notify");
        const BusMessagePtr message(raw);
        if (result >= 0) {
            result = sd_bus_message_append(raw, "susssas", "Fenk", 0u, "", notice.title.c_str(), "", 2,
                                           kDefaultAction, "Open");
        }
        if (result >= 0) {
            result = notice.image ? sd_bus_message_append(raw, "a{sv}", 1, "image-path", "s",
                                                          fileUri(*notice.image).c_str())
                                  : sd_bus_message_append(raw, "a{sv}", 0);
        }
        if (result >= 0) result = sd_bus_message_append(raw, "i", -1);
        if (result >= 0) result = sd_bus_call_async(bus_.get(), nullptr, raw, &Session::onAnswer, this, 0);
        std::uint64_t cookie = 0;
        if (result >= 0) result = sd_bus_message_get_cookie(raw, &cookie);
        if (result < 0) {
            shared_->report(Failure::refused, "Cannot ask for a notice: " + describeBusFailure(result));
            return std::nullopt;
        }
        return cookie;
    }

    static int onAnswer(sd_bus_message* answer, void* self, sd_bus_error*) {
        static_cast<Session*>(self)->answered(answer);
        return 0;
    }

    void answered(sd_bus_message* answer) {
        std::uint64_t cookie = 0;
        if (sd_bus_message_get_reply_cookie(answer, &cookie) < 0) return;
        const auto awaiting = awaiting_.find(cookie);
        if (awaiting == awaiting_.end()) return;
        Notice notice = std::move(awaiting->second);
        awaiting_.erase(awaiting);
        std::uint32_t id = 0;
        if (const auto* error = sd_bus_message_get_error(answer)) {
            const bool noServer = sd_bus_error_has_name(error, SD_BUS_ERROR_SERVICE_UNKNOWN) ||
                                  sd_bus_error_has_name(error, SD_BUS_ERROR_NAME_HAS_NO_OWNER);
            forget(notice);
            shared_->report(noServer ? Failure::noServer : Failure::refused,
                            (noServer ? "No notification server on the session bus: "
                                      : "The notification server refused a notice: ") +
                                describeBusFailure(0, error));
        } else if (sd_bus_message_read(answer, "u", &id) < 0) {
            forget(notice);
            shared_->report(Failure::refused, "The notification server answered a notice without its number");
        } else {
            shared_->shown();
            // A server that restarts counts from 1 again: an id counts only from the server that gave it.
            const char* server = sd_bus_message_get_sender(answer);
            shown_.insert_or_assign(id, Shown{server ? server : "", std::move(notice)});
        }
    }

    static int onActionInvoked(sd_bus_message* signal, void* self, sd_bus_error*) {
        std::uint32_t id = 0;
        const char* action = nullptr;
        if (sd_bus_message_read(signal, "us", &id, &action) < 0 || std::string_view(action) != kDefaultAction) return 0;
        auto* const session = static_cast<Session*>(self);
        if (const auto* notice = session->find(signal, id)) session->shared_->opened(notice->userInfo);
        return 0;
    }

    static int onClosed(sd_bus_message* signal, void* self, sd_bus_error*) {
        std::uint32_t id = 0;
        auto* const session = static_cast<Session*>(self);
        if (sd_bus_message_read(signal, "u", &id) < 0 || !session->find(signal, id)) return 0;
        forget(session->shown_.at(id).notice);
        session->shown_.erase(id);
        return 0;
    }

    const Notice* find(sd_bus_message* signal, std::uint32_t id) const {
        const auto shown = shown_.find(id);
        const char* sender = sd_bus_message_get_sender(signal);
        return shown != shown_.end() && sender && shown->second.server == sender ? &shown->second.notice : nullptr;
    }

    static void forget(const Notice& notice) {
        if (notice.image) DesktopNoticeImages::forget(*notice.image);
    }

    struct Shown {
        std::string server;
        Notice notice;
    };

    const std::shared_ptr<Shared> shared_;
    WakeDescriptor wake_;
    std::atomic<bool> alive_ = true;
    std::mutex mutex_;
    std::deque<Notice> pending_;
    // The thread's own from here on. The loop goes after the bus and its sources, which hold on to it.
    EventLoopPtr event_;
    BusPtr bus_;
    EventSourcePtr wakeSource_;
    BusSlotPtr actionMatch_;
    BusSlotPtr closedMatch_;
    std::map<std::uint64_t, Notice> awaiting_;
    std::map<std::uint32_t, Shown> shown_;
    std::unique_ptr<StoppableThread> thread_;
};

DesktopNotifications::DesktopNotifications(std::filesystem::path imageFolder, std::shared_ptr<DispatchQueue> queue,
                                           std::optional<std::string> busAddress)
    : busAddress_(std::move(busAddress)),
      images_(std::move(imageFolder)),
      shared_(std::make_shared<Shared>(std::move(queue))) {
    images_.sweep();
}

DesktopNotifications::~DesktopNotifications() = default;

void DesktopNotifications::add(NotificationRequest request) {
    Notice notice{std::move(request.title), std::move(request.userInfo), std::nullopt};
    if (request.image && !(notice.image = images_.keep(request.identifier, *request.image))) {
        shared_->report(Failure::imageNotKept, "Cannot keep the image of a notice; showing it without");
    }
    std::lock_guard lock(mutex_);
    if (session_ && session_->send(notice)) return;
    int error = 0;
    session_ = Session::open(busAddress_, shared_, error);
    if (session_ && session_->send(notice)) return;
    shared_->report(Failure::noBus, "Cannot reach the session bus for a notice: " +
                                        describeBusFailure(error));
    if (notice.image) DesktopNoticeImages::forget(*notice.image);
}

void DesktopNotifications::setOpenedHandler(OpenedHandler handler) { shared_->setHandler(std::move(handler)); }

}  // namespace fenk
