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

}  // namespace

// Counts the work still to come: tasks queued, running or timed on any queue, and work held busy from
// outside. Every change wakes the waiters of waitUntilIdle().
class ThreadDispatcher::Activity : public std::enable_shared_from_this<Activity> {
public:
    // Counts as busy until the answered handle is released.
    std::shared_ptr<void> hold() {
        change(+1);
        return {this, [self = shared_from_this()](Activity*) { self->change(-1); }};
    }

    // The task, counted as busy from now until it has run or been dropped.
    Task tracked(Task task) {
        return [held = hold(), task = std::move(task)] { task(); };
    }

    // Wakes the waiters without a change of count: a main-queue task became visible to drain().
    void poke() { change(0); }

    std::uint64_t generation() const {
        std::lock_guard lock(mutex_);
        return generation_;
    }

    // Answers true when nothing is busy; otherwise waits until something changes after `seen` or the
    // deadline passes, and answers false.
    bool idleOrWait(std::uint64_t seen, std::chrono::steady_clock::time_point deadline) {
        std::unique_lock lock(mutex_);
        if (busy_ == 0) return true;
        changed_.wait_until(lock, deadline, [&] { return generation_ != seen; });
        return false;
    }

private:
    void change(int delta) {
        std::lock_guard lock(mutex_);
        busy_ += delta;
        ++generation_;
        changed_.notify_all();
    }

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    long busy_ = 0;
    std::uint64_t generation_ = 0;
};

namespace {

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
    WorkerQueue(std::string label, unsigned threads, std::weak_ptr<ThreadDispatcher::Timer> timer,
                std::shared_ptr<ThreadDispatcher::Activity> activity)
        : label_(std::move(label)),
          core_(std::make_shared<WorkerCore>()),
          timer_(std::move(timer)),
          activity_(std::move(activity)) {
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
    void async(Task task) override { core_->push(activity_->tracked(std::move(task))); }

    void asyncAfter(Duration delay, Task task) override {
        if (auto timer = timer_.lock()) timer->schedule(delay, shared_from_this(), activity_->tracked(std::move(task)));
    }

    void sync(Task task) override { runAndWait(*this, task); }

    bool isCurrent() const override { return tCurrentQueue == core_.get(); }

private:
    std::string label_;
    std::shared_ptr<WorkerCore> core_;
    std::weak_ptr<ThreadDispatcher::Timer> timer_;
    std::shared_ptr<ThreadDispatcher::Activity> activity_;
    std::vector<std::thread> workers_;
};

}  // namespace

// The host's thread runs these tasks; an eventfd counts what waits so a host loop can poll for it.
class ThreadDispatcher::MainQueue final : public DispatchQueue, public std::enable_shared_from_this<MainQueue> {
public:
    MainQueue(std::weak_ptr<Timer> timer, std::shared_ptr<Activity> activity)
        : timer_(std::move(timer)), activity_(std::move(activity)), eventFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
    ~MainQueue() override {
        if (eventFd_ >= 0) ::close(eventFd_);
    }
    MainQueue(const MainQueue&) = delete;
    MainQueue& operator=(const MainQueue&) = delete;

    std::string_view label() const override { return "com.fenk.main"; }

    // Signals under the lock: once it is released the host may run the task and release the queue.
    void async(Task task) override {
        const auto activity = activity_;  // the queue may be gone once the lock is released
        {
            std::lock_guard lock(mutex_);
            tasks_.push_back(activity->tracked(std::move(task)));
            const std::uint64_t one = 1;
            [[maybe_unused]] const auto written = ::write(eventFd_, &one, sizeof one);
            wake_.notify_all();
        }
        activity->poke();
    }

    void asyncAfter(Duration delay, Task task) override {
        if (auto timer = timer_.lock()) timer->schedule(delay, shared_from_this(), activity_->tracked(std::move(task)));
    }

    void sync(Task task) override { runAndWait(*this, task); }

    bool isCurrent() const override { return tCurrentQueue == this; }

    int pollFd() const { return eventFd_; }

    // Takes turns with other drivers; the tasks are taken under the same turn, so they run in order.
    std::size_t drain() {
        if (isCurrent()) return 0;
        std::lock_guard turn(driving_);
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
        if (isCurrent()) return;
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
    std::shared_ptr<Activity> activity_;
    int eventFd_;
    std::mutex driving_;  // held while a thread runs main-queue tasks
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Task> tasks_;
    bool stopping_ = false;
};

ThreadDispatcher::ThreadDispatcher(MainQueueDriver driver, unsigned globalThreads)
    : driver_(driver),
      activity_(std::make_shared<Activity>()),
      timer_(std::make_shared<Timer>()),
      main_(std::make_shared<MainQueue>(timer_, activity_)),
      global_(std::make_shared<WorkerQueue>("com.fenk.global", std::max(1u, globalThreads), timer_, activity_)) {
    if (driver_ == MainQueueDriver::sdk) mainThread_ = std::thread([main = main_] { main->run(); });
}

ThreadDispatcher::~ThreadDispatcher() {
    main_->stop();
    if (mainThread_.joinable()) {
        // Released by one of its own main-queue tasks, the thread ends by itself once that task returns.
        if (mainThread_.get_id() == std::this_thread::get_id()) {
            mainThread_.detach();
        } else {
            mainThread_.join();
        }
    }
    timer_.reset();
    global_.reset();  // its tasks may still post to the main queue
}

SystemTime ThreadDispatcher::now() const { return std::chrono::system_clock::now(); }

std::shared_ptr<DispatchQueue> ThreadDispatcher::makeSerialQueue(std::string label, QualityOfService) {
    return std::make_shared<WorkerQueue>(std::move(label), 1, timer_, activity_);
}

std::shared_ptr<DispatchQueue> ThreadDispatcher::globalQueue() { return global_; }
std::shared_ptr<DispatchQueue> ThreadDispatcher::mainQueue() { return main_; }
void ThreadDispatcher::run() {
    if (driver_ == MainQueueDriver::host) main_->run();
}
void ThreadDispatcher::stop() {
    if (driver_ == MainQueueDriver::host) main_->stop();
}
int ThreadDispatcher::pollFd() const { return main_->pollFd(); }
std::size_t ThreadDispatcher::drain() { return driver_ == MainQueueDriver::host ? main_->drain() : 0; }

}  // namespace fenk

namespace fenk {

std::shared_ptr<void> ThreadDispatcher::holdBusy() { return activity_->hold(); }

bool ThreadDispatcher::waitUntilIdle(Duration timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        // Read before draining: a main-queue task submitted after this read changes it, so the wait
        // below cannot sleep through a task drain() did not see.
        const auto seen = activity_->generation();
        if (driver_ == MainQueueDriver::host) main_->drain();
        if (activity_->idleOrWait(seen, deadline)) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
    }
}

}  // namespace fenk
