#pragma once

#include "FenkSDK/ui/FenkToastStyle.h"
#include "adapters/gtk/GObjectPtr.h"

#include <gtk/gtk.h>

#include <functional>
#include <optional>

namespace fenk {

// Calls `changed` with a widget's new size after each painted frame in which its size differs from the last
// one seen. Frames are painted only when something changed, so the watch costs nothing on an idle window.
class GtkSizeWatch {
public:
    GtkSizeWatch(GtkWidget* widget, std::function<void(Size)> changed);
    GtkSizeWatch(const GtkSizeWatch&) = delete;
    GtkSizeWatch& operator=(const GtkSizeWatch&) = delete;

private:
    static void onRealize(GtkWidget*, gpointer watch);
    static void onUnrealize(GtkWidget*, gpointer watch);
    static void onAfterPaint(GdkFrameClock*, gpointer watch);

    GtkWidget* const widget_;
    const std::function<void(Size)> changed_;
    std::optional<Size> seen_;
    std::optional<SignalConnection> afterPaint_;  // while the widget is realized
    SignalConnection realize_;
    SignalConnection unrealize_;
};

}  // namespace fenk
