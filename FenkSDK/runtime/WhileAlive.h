#pragma once

#include <memory>
#include <utility>

namespace fenk {

// A continuation that runs `step(object, arguments...)` while `object` still exists, and does nothing once
// it is gone: replies and queued work never keep an SDK object alive, nor reach a destroyed one.
template <class T, class Step>
auto whileAlive(std::weak_ptr<T> object, Step step) {
    return [object = std::move(object), step = std::move(step)](auto&&... arguments) mutable {
        if (const auto self = object.lock()) step(*self, std::forward<decltype(arguments)>(arguments)...);
    };
}

}  // namespace fenk
