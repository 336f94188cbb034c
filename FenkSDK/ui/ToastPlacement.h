#pragma once

#include "FenkSDK/ui/FenkToastStyle.h"

namespace fenk {

enum class FenkToastPosition { top, center, bottom };

// The parts of the host's window that bars and rounded corners cover.
struct SafeAreaInsets {
    double top = 0;
    double bottom = 0;
};

// Where the centre of a toast `toastHeight` high goes in a window of `window` size: clear of the safe-area
// insets and one vertical padding away from the top or bottom edge.
Point toastCentre(FenkToastPosition position, Size window, double toastHeight, SafeAreaInsets insets,
                  const FenkToastStyle& style);

}  // namespace fenk
