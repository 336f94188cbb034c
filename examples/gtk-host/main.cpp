// A GTK host: the SDK's main queue runs inside GLib's loop, and the GTK toolkit draws the SDK's toasts over
// the host's own window. Tap the toast to take it away; close the window to end.
#include "FenkSDK/ui/FenkToasts.h"
#include "adapters/gtk/GtkMainQueue.h"
#include "adapters/gtk/GtkUi.h"
#include "adapters/linux/ThreadDispatcher.h"

#include <gtk/gtk.h>

#include <cstdio>
#include <memory>

int main() {
    if (!gtk_init_check()) {
        std::fprintf(stderr, "fenk-gtk-host: no display to open a window on\n");
        return 1;
    }
    fenk::ThreadDispatcher dispatcher(fenk::MainQueueDriver::host);
    const fenk::GtkMainQueue mainQueue(dispatcher);

    GtkWindow* window = GTK_WINDOW(gtk_window_new());
    gtk_window_set_title(window, "Fenk GTK host");
    gtk_window_set_default_size(window, 400, 800);
    gtk_window_set_child(window, gtk_label_new("The host's own content"));
    const std::unique_ptr<GMainLoop, decltype(&g_main_loop_unref)> loop(g_main_loop_new(nullptr, FALSE),
                                                                        &g_main_loop_unref);
    g_signal_connect_swapped(window, "destroy", G_CALLBACK(g_main_loop_quit), loop.get());

    {
        const auto ui = std::make_shared<fenk::GtkUi>(window);
        fenk::FenkToasts toasts(ui, dispatcher.mainQueue());
        fenk::UiEvents events;
        events.tapped = [&toasts](fenk::ScreenId id, fenk::Control control) {
            if (control == fenk::Control::toast) toasts.toastTapped(id);
        };
        ui->setEvents(events);
        gtk_window_present(window);

        // The SDK is called on its main queue, as a host does from any thread.
        dispatcher.mainQueue()->async([&toasts] {
            toasts.makeFenkToast("Toasts, screens and pages of the SDK are drawn over this window.", 30,
                                 fenk::FenkToastPosition::bottom, "Hello from Fenk", std::nullopt, {},
                                 [](bool tapped) { std::printf("the toast went%s\n", tapped ? ", tapped" : ""); });
        });
        g_main_loop_run(loop.get());
    }
    return 0;
}
