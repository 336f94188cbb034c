#pragma once

#include "FenkSDK/ui/FenkToastStyle.h"
#include "FenkSDK/ui/ToastPlacement.h"

namespace fenk {

// The toast settings a host may change. A toast takes them when it is made (style, duration, position) or
// shown (tap to dismiss, queueing).
struct FenkToastManager {
    FenkToastStyle style;
    bool isTapToDismissEnabled = true;
    // Off: a toast shows at once, over any still shown. On: it waits for those to go.
    bool isQueueEnabled = false;
    double duration = 3.0;  // seconds
    FenkToastPosition position = FenkToastPosition::bottom;
};

}  // namespace fenk
