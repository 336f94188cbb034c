#include "FenkSDK/ui/ScreenIds.h"

#include <atomic>

namespace fenk {

ScreenId nextScreenId() {
    static std::atomic<ScreenId> last{0};
    return last.fetch_add(1, std::memory_order_relaxed) + 1;
}

}  // namespace fenk
