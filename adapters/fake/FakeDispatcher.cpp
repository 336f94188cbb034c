#include "adapters/fake/FakeDispatcher.h"

#include <algorithm>
#include <condition_variable>
#include <optional>
#include <vector>

namespace fenk {

struct FakeDispatcher::State {
    struct Entry {
        std::shared_ptr<Queue> queue;  // a pending task keeps its queue alive, as a real one does
        Task task;
    };

    std::mutex mutex;
    // Signalled when a task is queued or a hold ends.
    std::condition_variable changed;
    std::size_t busy = 0;
    SystemTime now;
    std::uint64_t nextSequence = 0;
    std::map<std::pair<SystemTime, std::uint64_t>, Entry> entries;
    std::vector<const Queue*> running;  // the queues of the tasks now on the stack, innermost last

    void enqueue(SystemTime due, std::shared_ptr<Queue> queue, Task task) {
        {
            std::lock_guard lock(mutex);
            entries.emplace(std::pair{due, nextSequence++}, Entry{std::move(queue), std::move(task)});
        }
        changed.notify_all();
    }

    // Waits while something is held busy and nothing is due now; false when nothing is held.
    bool waitWhileBusy() {
        std::unique_lock lock(mutex);
        if (busy == 0) return false;
        changed.wait(lock, [&] { return busy == 0 || (!entries.empty() && entries.begin()->first.first <= now); });
        return true;
    }

    // Takes the first task due by `limit`, optionally only of one queue.
    std::optional<Entry> takeDue(SystemTime limit, const Queue* only = nullptr) {
        std::lock_guard lock(mutex);
        for (auto it = entries.begin(); it != entries.end() && it->first.first <= limit; ++it) {
            if (only != nullptr && it->second.queue.get() != only) continue;
            if (it->first.first > now) now = it->first.first;
            Entry entry = std::move(it->second);
            entries.erase(it);
            return entry;
        }
        return std::nullopt;
    }

    void run(const Entry& entry) {
        {
            std::lock_guard lock(mutex);
            running.push_back(entry.queue.get());
        }
        entry.task();
        std::lock_guard lock(mutex);
        running.pop_back();
    }
};

class FakeDispatcher::Queue final : public DispatchQueue, public std::enable_shared_from_this<Queue> {
public:
    Queue(std::string label, std::weak_ptr<State> state) : label_(std::move(label)), state_(std::move(state)) {}

    std::string_view label() const override { return label_; }

    void async(Task task) override { asyncAfter(Duration::zero(), std::move(task)); }

    void asyncAfter(Duration delay, Task task) override {
        const auto state = state_.lock();
        if (!state) return;
        const auto due = now(*state) + std::max(delay, Duration::zero());
        state->enqueue(std::chrono::time_point_cast<SystemTime::duration>(due), shared_from_this(), std::move(task));
    }

    void sync(Task task) override {
        const auto state = state_.lock();
        if (!state) return;
        // What this queue was already due to run comes first, as on a real serial queue.
        if (!isCurrent()) {
            while (auto earlier = state->takeDue(now(*state), this)) state->run(*earlier);
        }
        state->run(State::Entry{shared_from_this(), std::move(task)});
    }

    bool isCurrent() const override {
        const auto state = state_.lock();
        if (!state) return false;
        std::lock_guard lock(state->mutex);
        return std::find(state->running.begin(), state->running.end(), this) != state->running.end();
    }

private:
    static SystemTime now(State& state) {
        std::lock_guard lock(state.mutex);
        return state.now;
    }

    std::string label_;
    std::weak_ptr<State> state_;
};

FakeDispatcher::FakeDispatcher(SystemTime start)
    : state_(std::make_shared<State>()),
      global_(std::make_shared<Queue>("com.fenk.fake.global", state_)),
      main_(std::make_shared<Queue>("com.fenk.fake.main", state_)) {
    state_->now = start;
}

FakeDispatcher::~FakeDispatcher() {
    // Pending tasks hold their queues; drop them so nothing outlives the dispatcher by a cycle.
    std::map<std::pair<SystemTime, std::uint64_t>, State::Entry> pending;
    {
        std::lock_guard lock(state_->mutex);
        pending.swap(state_->entries);
    }
}

SystemTime FakeDispatcher::now() const {
    std::lock_guard lock(state_->mutex);
    return state_->now;
}

std::shared_ptr<DispatchQueue> FakeDispatcher::makeSerialQueue(std::string label, QualityOfService) {
    return std::make_shared<Queue>(std::move(label), state_);
}

std::shared_ptr<DispatchQueue> FakeDispatcher::globalQueue() { return global_; }

std::shared_ptr<DispatchQueue> FakeDispatcher::mainQueue() { return main_; }

std::shared_ptr<void> FakeDispatcher::holdBusy() {
    {
        std::lock_guard lock(state_->mutex);
        ++state_->busy;
    }
    return std::shared_ptr<void>(nullptr, [state = state_](void*) {
        {
            std::lock_guard lock(state->mutex);
            --state->busy;
        }
        state->changed.notify_all();
    });
}

std::size_t FakeDispatcher::runUntilIdle() {
    std::size_t ran = 0;
    do {
        while (auto entry = state_->takeDue(now())) {
            state_->run(*entry);
            ++ran;
        }
    } while (state_->waitWhileBusy());
    return ran;
}

void FakeDispatcher::advance(Duration duration) {
    const auto target = std::chrono::time_point_cast<SystemTime::duration>(now() + duration);
    // Time stands still while work outside the queues is held busy: a reply on the wire takes no virtual time.
    runUntilIdle();
    while (auto entry = state_->takeDue(target)) {
        state_->run(*entry);
        runUntilIdle();
    }
    std::lock_guard lock(state_->mutex);
    state_->now = std::max(state_->now, target);
}

std::size_t FakeDispatcher::pendingTasks() const {
    std::lock_guard lock(state_->mutex);
    return state_->entries.size();
}

}  // namespace fenk
