#pragma once

#include "adapters/linux/DesktopBus.h"
#include "adapters/linux/StoppableThread.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace fenk {

// A service of the test's own on a bus: it owns `name` and answers the method calls made to `path` with
// `serve` (which replies, or answers 0 to leave the call unknown), on a thread of its own.
class TestBusService {
public:
    using Handler = std::function<int(sd_bus_message* call)>;

    TestBusService(const std::string& address, const std::string& name, const std::string& path, Handler serve)
        : serve_(std::move(serve)) {
        int result = 0;
        bus_ = connectSessionBus(address, result);
        sd_bus_slot* slot = nullptr;
        if (!bus_ || sd_bus_request_name(bus_.get(), name.c_str(), 0) < 0 ||
            sd_bus_add_object(bus_.get(), &slot, path.c_str(), &TestBusService::onCall, this) < 0) {
            return;
        }
        object_.reset(slot);
        thread_ = StoppableThread::start([this](const StoppableThread& thread) { run(thread); });
    }

    // Owns its name and serves.
    bool ready() const { return thread_ != nullptr; }

    // Runs `use` with the bus while the service thread keeps off it, then sends what it queued.
    void withBus(const std::function<void(sd_bus*)>& use) {
        std::lock_guard lock(mutex_);
        use(bus_.get());
        sd_bus_flush(bus_.get());
    }

private:
    static int onCall(sd_bus_message* call, void* self, sd_bus_error*) {
        return static_cast<TestBusService*>(self)->serve_(call);
    }

    void run(const StoppableThread& thread) {
        do {
            std::lock_guard lock(mutex_);
            while (sd_bus_process(bus_.get(), nullptr) > 0) {
            }
        } while (thread.wait(sd_bus_get_fd(bus_.get()), -1) == Wake::ready);
    }

    const Handler serve_;
    std::mutex mutex_;
    BusPtr bus_;
    BusSlotPtr object_;
    std::unique_ptr<StoppableThread> thread_;
};

}  // namespace fenk
