#pragma once

#include "adapters/gtk/GObjectPtr.h"

#include <gtk/gtk.h>

#include <functional>
#include <string>
#include <vector>

namespace fenk {

// A window of its own over the host's, with a web view and a close button. Closing it, by the button or from
// the window manager, calls `closed`, which may destroy this browser at once.
class GtkInAppBrowser {
public:
    GtkInAppBrowser(GtkWindow* parent, std::function<void()> closed);
    ~GtkInAppBrowser();
    GtkInAppBrowser(const GtkInAppBrowser&) = delete;
    GtkInAppBrowser& operator=(const GtkInAppBrowser&) = delete;

    // Loads the link and brings the window to the front.
    void open(const std::string& url);
    GtkWindow* window() const { return window_.get(); }

private:
    static void onCloseClicked(GtkButton*, gpointer browser);
    static gboolean onCloseRequest(GtkWindow*, gpointer browser);

    const std::function<void()> closed_;
    GObjectPtr<GtkWindow> window_;
    GtkWidget* webView_;  // owned by window_
    std::vector<SignalConnection> signals_;
};

}  // namespace fenk
