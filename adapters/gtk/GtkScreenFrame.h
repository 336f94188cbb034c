#pragma once

#include "FenkSDK/ports/Ui.h"
#include "adapters/gtk/GObjectPtr.h"

#include <gtk/gtk.h>

#include <vector>

namespace fenk {

// What every screen shares: its content filling the window on black, a close button (named "close", hidden
// until revealed) at the top right and, when asked for, a redirect button (named "redirect") at the bottom.
// Taps go to the events' `tapped`.
class GtkScreenFrame {
public:
    GtkScreenFrame(ScreenId id, const UiEvents& events, GtkWidget* content, bool redirectButton);
    GtkScreenFrame(const GtkScreenFrame&) = delete;
    GtkScreenFrame& operator=(const GtkScreenFrame&) = delete;

    GtkWidget* widget() const { return root_.get(); }
    void revealClose() { gtk_widget_set_visible(close_, TRUE); }

private:
    GtkWidget* addButton(const char* name, const char* icon, GtkAlign halign, GtkAlign valign, GCallback handler);
    static void onClose(GtkButton*, gpointer frame);
    static void onRedirect(GtkButton*, gpointer frame);

    const ScreenId id_;
    const UiEvents& events_;
    GObjectPtr<GtkWidget> root_;
    GtkWidget* close_;  // owned by root_
    std::vector<SignalConnection> signals_;
};

}  // namespace fenk
