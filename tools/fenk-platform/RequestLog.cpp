#include "tools/fenk-platform/RequestLog.h"

#include <utility>

namespace fenk {

void RequestLog::add(RecordedRequest request) {
    const std::scoped_lock lock(mutex_);
    requests_.push_back(std::move(request));
}

std::vector<RecordedRequest> RequestLog::requests() const {
    const std::scoped_lock lock(mutex_);
    return requests_;
}

void RequestLog::clear() {
    const std::scoped_lock lock(mutex_);
    requests_.clear();
}

}  // namespace fenk
