#pragma once

#include "FenkSDK/ports/Dispatcher.h"

#include <functional>
#include <memory>
#include <mutex>
#include <type_traits>
#include <utility>

namespace fenk {

// Runs `completion(value)` as a task of `queue`, so that an answer known at once still reaches the host on an
// SDK thread, as every other answer does. A host that passed no completion gets nothing.
template <class Value>
void completeOn(DispatchQueue& queue, std::function<void(Value)> completion, std::type_identity_t<Value> value) {
    if (!completion) return;
    queue.async([completion = std::move(completion), value = std::move(value)]() mutable {
        completion(std::move(value));
    });
}

// A host's completion that runs exactly once. The work answers it by calling it; when the work is
// abandoned instead (its component was released halfway, so that its continuations did nothing) and the
// last copy goes unanswered, `fallback` is posted to `queue` from wherever that copy was destroyed, and
// runs there as a task: never inside the call that released the work. Copies share the one answer.
template <class Value>
class GuaranteedCompletion {
public:
    GuaranteedCompletion(std::function<void(Value)> completion, Value fallback, std::shared_ptr<DispatchQueue> queue)
        : state_(std::make_shared<State>(std::move(completion), std::move(fallback), std::move(queue))) {}

    // The first call runs the completion; any later one does nothing.
    void operator()(Value value) const {
        if (auto completion = state_->take()) completion(std::move(value));
    }

private:
    struct State {
        State(std::function<void(Value)> answer, Value fallbackValue, std::shared_ptr<DispatchQueue> answerQueue)
            : completion(std::move(answer)), fallback(std::move(fallbackValue)), queue(std::move(answerQueue)) {}
        State(const State&) = delete;
        State& operator=(const State&) = delete;
        // The last copy is gone: nothing else can take the completion now.
        ~State() { completeOn(*queue, std::move(completion), std::move(fallback)); }

        std::function<void(Value)> take() {
            std::lock_guard lock(mutex);
            return std::exchange(completion, {});
        }

        std::function<void(Value)> completion;
        Value fallback;
        std::shared_ptr<DispatchQueue> queue;
        std::mutex mutex{};
    };

    std::shared_ptr<State> state_;
};

}  // namespace fenk
