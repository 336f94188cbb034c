#include "adapters/gtk/GtkInAppBrowser.h"

#include "adapters/gtk/GtkPageView.h"

namespace fenk {

GtkInAppBrowser::GtkInAppBrowser(GtkWindow* parent, std::function<void()> closed)
    : closed_(std::move(closed)), window_(retain(GTK_WINDOW(gtk_window_new()))) {
    const auto contentManager = adopt(webkit_user_content_manager_new());
    webView_ = GTK_WIDGET(newWebView(contentManager.get()));
    GtkWidget* close = gtk_button_new_from_icon_name("window-close-symbolic");
    gtk_widget_set_name(close, "close");
    gtk_widget_set_halign(close, GTK_ALIGN_END);
    GtkWidget* column = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_box_append(GTK_BOX(column), close);
    gtk_box_append(GTK_BOX(column), webView_);

    GtkWindow* window = window_.get();
    gtk_window_set_child(window, column);
    if (parent) {
        gtk_window_set_transient_for(window, parent);
        int width = 0;
        int height = 0;
        gtk_window_get_default_size(parent, &width, &height);
        gtk_window_set_default_size(window, width, height);
    }
    gtk_window_set_destroy_with_parent(window, TRUE);
    signals_.emplace_back(close, "clicked", &onCloseClicked, this);
    signals_.emplace_back(window, "close-request", &onCloseRequest, this);
}

GtkInAppBrowser::~GtkInAppBrowser() {
    signals_.clear();
    gtk_window_destroy(window_.get());
}

void GtkInAppBrowser::open(const std::string& url) {
    webkit_web_view_load_uri(WEBKIT_WEB_VIEW(webView_), url.c_str());
    gtk_window_present(window_.get());
}

void GtkInAppBrowser::onCloseClicked(GtkButton*, gpointer browser) {
    const auto closed = static_cast<GtkInAppBrowser*>(browser)->closed_;
    closed();
}

gboolean GtkInAppBrowser::onCloseRequest(GtkWindow*, gpointer browser) {
    const auto closed = static_cast<GtkInAppBrowser*>(browser)->closed_;
    closed();
    return TRUE;  // the owner destroys the window with this browser
}

}  // namespace fenk
