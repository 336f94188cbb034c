#include "FenkSDK/ui/ToastPlacement.h"

namespace fenk {

Point toastCentre(FenkToastPosition position, Size window, double toastHeight, SafeAreaInsets insets,
                  const FenkToastStyle& style) {
    const double x = window.width / 2;
    switch (position) {
    case FenkToastPosition::top: return {x, style.verticalPadding + insets.top + toastHeight / 2};
    case FenkToastPosition::center: return {x, window.height / 2};
    case FenkToastPosition::bottom: break;
    }
    return {x, window.height - toastHeight / 2 - (style.verticalPadding + insets.bottom)};
}

}  // namespace fenk
