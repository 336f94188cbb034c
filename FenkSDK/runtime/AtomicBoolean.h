#pragma once

#include <semaphore>

namespace fenk {

// A flag guarded by a counting semaphore of value 1: every read and write is wait, access, signal.
class AtomicBoolean {
public:
    explicit AtomicBoolean(bool initial = false) : b_(initial) {}

    bool get() const {
        semaphore_.acquire();
        const bool value = b_;
        semaphore_.release();
        return value;
    }

    void set(bool value) {
        semaphore_.acquire();
        b_ = value;
        semaphore_.release();
    }

private:
    mutable std::binary_semaphore semaphore_{1};
    bool b_;
};

}  // namespace fenk
