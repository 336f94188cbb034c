#include "adapters/linux/ThreadDispatcher.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <future>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace fenk {
namespace {

// The queue whose task the current thread is running, so that sync() from inside a queue does not wait on
// itself.
thread_local const void* tCurrentQueue = nullptr;

class CurrentQueueScope {
public:
    explicit CurrentQueueScope(const void* queue) : previous_(tCurrentQueue) { tCurrentQueue = queue; }
    ~CurrentQueueScope() { tCurrentQueue = previous_; }
    CurrentQueueScope(const CurrentQueueScope&) = delete;
    CurrentQueueScope& operator=(const CurrentQueueScope&) = delete;

private:
    const void* previous_;
};

// Runs the task on the queue and waits for it; from inside the queue it runs at once.
void runAndWait(DispatchQueue& queue, Task& task) {
    if (queue.isCurrent()) {
        task();
        return;
    }
    std::promise<void> done;
    auto finished = done.get_future();
    queue.async([&] {
        task();
        done.set_value();
    });
    finished.wait();
}

// Tasks and the workers that run them. Workers hold the core, not the queue, so a queue released from one
// of its own tasks can let its worker finish on its own.
struct WorkerCore {
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<Task> tasks;
    bool stopping = false;

    // Notifies under the lock: once it is released the worker may finish and destroy the core.
    void push(Task task) {
        std::lock_guard lock(mutex);
        tasks.push_back(std::move(task));
        wake.notify_one();
    }

    // Runs tasks until stopped; what was submitted before the stop still runs.
    static void work(const std::shared_ptr<WorkerCore>& core) {
        for (;;) {
            Task task;
            {
                std::unique_lock lock(core->mutex);
                core->wake.wait(lock, [&] { return core->stopping || !core->tasks.empty(); });
                if (core->tasks.empty()) return;
                task = std::move(core->tasks.front());
                core->tasks.pop_front();
            }
            CurrentQueueScope scope(core.get());
            task();
        }
    }
};

}  // namespace

// Holds delayed tasks and hands each to its queue when it falls due.
class ThreadDispatcher::Timer {
public:
    Timer() : thread_([this] { loop(); }) {}

    ~Timer() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }

    void schedule(Duration delay, std::shared_ptr<DispatchQueue> queue, Task task) {
        const auto due = std::chrono::steady_clock::now() + std::max(delay, Duration::zero());
        {
            std::lock_guard lock(mutex_);
            pending_.emplace(std::pair{due, nextSequence_++}, Pending{std::move(queue), std::move(task)});
        }
        wake_.notify_one();
    }

private:
    struct Pending {
        std::shared_ptr<DispatchQueue> queue;
        Task task;
    };

    void loop() {
        std::unique_lock lock(mutex_);
        while (!stopping_) {
            if (pending_.empty()) {
                wake_.wait(lock);
                continue;
            }
            const auto first = pending_.begin();
            if (first->first.first > std::chrono::steady_clock::now()) {
                wake_.wait_until(lock, first->first.first);
                continue;
            }
            Pending due = std::move(first->second);
            pending_.erase(first);
            lock.unlock();
            due.queue->async(std::move(due.task));
            due = {};
            lock.lock();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::uint64_t nextSequence_ = 0;
    std::map<std::pair<std::chrono::steady_clock::time_point, std::uint64_t>, Pending> pending_;
    std::thread thread_;
};

namespace {

class WorkerQueue final : public DispatchQueue, public std::enable_shared_from_this<WorkerQueue> {
public:
    WorkerQueue(std::string label, unsigned threads, std::weak_ptr<ThreadDispatcher::Timer> timer)
        : label_(std::move(label)), core_(std::make_shared<WorkerCore>()), timer_(std::move(timer)) {
        for (unsigned i = 0; i < threads; ++i) workers_.emplace_back([core = core_] { WorkerCore::work(core); });
    }

    ~WorkerQueue() override {
        {
            std::lock_guard lock(core_->mutex);
            core_->stopping = true;
        }
        core_->wake.notify_all();
        for (auto& worker : workers_) {
            if (worker.get_id() == std::this_thread::get_id()) {
                worker.detach();  // released by its own task: the worker ends by itself
            } else {
                worker.join();
            }
        }
    }

    std::string_view label() const override { return label_; }
    void async(Task task) override { core_->push(std::move(task)); }

    void asyncAfter(Duration delay, Task task) override {
        if (auto timer = timer_.lock()) timer->schedule(delay, shared_from_this(), std::move(task));
    }

    void sync(Task task) override { runAndWait(*this, task); }

    bool isCurrent() const override { return tCurrentQueue == core_.get(); }

private:
    std::string label_;
    std::shared_ptr<WorkerCore> core_;
    std::weak_ptr<ThreadDispatcher::Timer> timer_;
    std::vector<std::thread> workers_;
};

}  // namespace

// The host's thread runs these tasks; an eventfd counts what waits so a host loop can poll for it.
class ThreadDispatcher::MainQueue final : public DispatchQueue, public std::enable_shared_from_this<MainQueue> {
public:
    explicit MainQueue(std::weak_ptr<Timer> timer)
        : timer_(std::move(timer)), eventFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
    ~MainQueue() override {
        if (eventFd_ >= 0) ::close(eventFd_);
    }
    MainQueue(const MainQueue&) = delete;
    MainQueue& operator=(const MainQueue&) = delete;

    std::string_view label() const override { return "com.fenk.main"; }

    // Signals under the lock: once it is released the host may run the task and release the queue.
    void async(Task task) override {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto written = ::write(eventFd_, &one, sizeof one);
        wake_.notify_all();
    }

    void asyncAfter(Duration delay, Task task) override {
        if (auto timer = timer_.lock()) timer->schedule(delay, shared_from_this(), std::move(task));
    }

    void sync(Task task) override { runAndWait(*this, task); }

    bool isCurrent() const override { return tCurrentQueue == this; }

    int pollFd() const { return eventFd_; }

    std::size_t drain() {
        std::uint64_t count = 0;
        [[maybe_unused]] const auto read = ::read(eventFd_, &count, sizeof count);
        std::deque<Task> ready;
        {
            std::lock_guard lock(mutex_);
            ready.swap(tasks_);
        }
        CurrentQueueScope scope(this);
        for (auto& task : ready) task();
        return ready.size();
    }

    // Returns once stop() has been called (before or during the run), consuming that stop.
    void run() {
        for (;;) {
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [&] { return stopping_ || !tasks_.empty(); });
                if (stopping_) {
                    stopping_ = false;
                    return;
                }
            }
            drain();
        }
    }

    void stop() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
    }

private:
    std::weak_ptr<Timer> timer_;
    int eventFd_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Task> tasks_;
    bool stopping_ = false;
};

ThreadDispatcher::ThreadDispatcher(unsigned globalThreads)
    : timer_(std::make_shared<Timer>()),
      main_(std::make_shared<MainQueue>(timer_)),
      global_(std::make_shared<WorkerQueue>("com.fenk.global", std::max(1u, globalThreads), timer_)) {}

ThreadDispatcher::~ThreadDispatcher() {
    main_->stop();
    timer_.reset();
    global_.reset();  // its tasks may still post to the main queue
}

SystemTime ThreadDispatcher::now() const { return std::chrono::system_clock::now(); }

std::shared_ptr<DispatchQueue> ThreadDispatcher::makeSerialQueue(std::string label, QualityOfService) {
    return std::make_shared<WorkerQueue>(std::move(label), 1, timer_);
}

std::shared_ptr<DispatchQueue> ThreadDispatcher::globalQueue() { return global_; }
std::shared_ptr<DispatchQueue> ThreadDispatcher::mainQueue() { return main_; }
void ThreadDispatcher::run() { main_->run(); }
void ThreadDispatcher::stop() { main_->stop(); }
int ThreadDispatcher::pollFd() const { return main_->pollFd(); }
std::size_t ThreadDispatcher::drain() { return main_->drain(); }

}  // namespace fenk
