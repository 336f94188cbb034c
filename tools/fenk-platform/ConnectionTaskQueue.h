#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>

#include <httplib.h>

namespace fenk {

// The HTTP server's worker pool. The server hands it one task per accepted TCP connection, which serves
// every request of that connection on one worker; so numbering the tasks numbers the connections, and a
// handler reads its connection's number from current().
class ConnectionTaskQueue final : public httplib::TaskQueue {
public:
    explicit ConnectionTaskQueue(std::size_t workers);

    void enqueue(std::function<void()> serveConnection) override;
    void shutdown() override;

    // The number of the connection whose request the calling worker serves; 0 outside a worker.
    static std::int64_t current();

private:
    std::atomic<std::int64_t> connections_{0};
    httplib::ThreadPool pool_;
};

}  // namespace fenk
