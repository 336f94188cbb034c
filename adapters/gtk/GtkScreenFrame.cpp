#include "adapters/gtk/GtkScreenFrame.h"

#include "adapters/gtk/GtkCss.h"
#include "adapters/gtk/GtkShownView.h"

namespace fenk {

GtkScreenFrame::GtkScreenFrame(ScreenId id, const UiEvents& events, GtkWidget* content, bool redirectButton)
    : id_(id), events_(events), root_(retain(gtk_overlay_new())) {
    gtk_widget_set_hexpand(root_.get(), TRUE);
    gtk_widget_set_vexpand(root_.get(), TRUE);
    styleWidget(root_.get(), "* { background-color: black; }");
    gtk_overlay_set_child(GTK_OVERLAY(root_.get()), content);
    close_ = addButton("close", "window-close-symbolic", GTK_ALIGN_END, GTK_ALIGN_START, G_CALLBACK(&onClose));
    gtk_widget_set_visible(close_, FALSE);
    if (redirectButton) {
        addButton("redirect", "go-next-symbolic", GTK_ALIGN_CENTER, GTK_ALIGN_END, G_CALLBACK(&onRedirect));
    }
}

GtkWidget* GtkScreenFrame::addButton(const char* name, const char* icon, GtkAlign halign, GtkAlign valign,
                                     GCallback handler) {
    GtkWidget* button = gtk_button_new_from_icon_name(icon);
    gtk_widget_set_name(button, name);
    gtk_widget_set_halign(button, halign);
    gtk_widget_set_valign(button, valign);
    for (const auto margin : {&gtk_widget_set_margin_top, &gtk_widget_set_margin_bottom, &gtk_widget_set_margin_start,
                              &gtk_widget_set_margin_end}) {
        margin(button, 16);
    }
    gtk_overlay_add_overlay(GTK_OVERLAY(root_.get()), button);
    signals_.emplace_back(button, "clicked", handler, this);
    return button;
}

void GtkScreenFrame::onClose(GtkButton*, gpointer frame) {
    const auto& self = *static_cast<GtkScreenFrame*>(frame);
    report(self.events_.tapped, self.id_, Control::close);
}

void GtkScreenFrame::onRedirect(GtkButton*, gpointer frame) {
    const auto& self = *static_cast<GtkScreenFrame*>(frame);
    report(self.events_.tapped, self.id_, Control::redirect);
}

}  // namespace fenk
