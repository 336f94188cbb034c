#include "tools/fenk-platform/ConnectionTaskQueue.h"

#include <utility>

namespace fenk {
namespace {

thread_local std::int64_t currentConnection = 0;

}  // namespace

ConnectionTaskQueue::ConnectionTaskQueue(std::size_t workers) : pool_(workers) {}

void ConnectionTaskQueue::enqueue(std::function<void()> serveConnection) {
    const std::int64_t connection = ++connections_;
    pool_.enqueue([connection, serve = std::move(serveConnection)] {
        currentConnection = connection;
        serve();
        currentConnection = 0;
    });
}

void ConnectionTaskQueue::shutdown() { pool_.shutdown(); }

std::int64_t ConnectionTaskQueue::current() { return currentConnection; }

}  // namespace fenk
