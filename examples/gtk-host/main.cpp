// A GTK host: the SDK's main queue runs inside GLib's loop, and the SDK draws its screens over the host's own
// window. It shows a push payload's text as a toast; tap the toast to take it away, close the window to end.
#include "FenkSDK/FenkManager.h"
#include "adapters/gtk/GtkMainQueue.h"
#include "adapters/gtk/GtkUi.h"
#include "adapters/linux/DataFolder.h"
#include "adapters/linux/LinuxEnvironment.h"

#include <gtk/gtk.h>

#include <cstdio>
#include <memory>

int main() {
    if (!gtk_init_check()) {
        std::fprintf(stderr, "fenk-gtk-host: no display to open a window on\n");
        return 1;
    }
    // The host drives the SDK's main queue, from GLib's loop.
    auto environment = fenk::makeLinuxEnvironment(fenk::fenkDataFolder(), fenk::MainQueueDriver::host);
    const auto dispatcher = std::dynamic_pointer_cast<fenk::ThreadDispatcher>(environment.dispatcher);
    const fenk::GtkMainQueue mainQueue(*dispatcher);

    GtkWindow* window = GTK_WINDOW(gtk_window_new());
    gtk_window_set_title(window, "Fenk GTK host");
    gtk_window_set_default_size(window, 400, 800);
    gtk_window_set_child(window, gtk_label_new("The host's own content"));
    const std::unique_ptr<GMainLoop, decltype(&g_main_loop_unref)> loop(g_main_loop_new(nullptr, FALSE),
                                                                        &g_main_loop_unref);
    g_signal_connect_swapped(window, "destroy", G_CALLBACK(g_main_loop_quit), loop.get());

    // The SDK's screens go over this window.
    environment.ui = std::make_shared<fenk::GtkUi>(window);
    fenk::Environment::install(std::move(environment));
    gtk_window_present(window);

    // The manager is called on its main queue, as a host does from any thread.
    dispatcher->mainQueue()->async([] {
        fenk::FenkManager::sharedManager()->presentContent(
            {.aps = fenk::Aps{fenk::Alert{"Toasts, pictures, videos and pages of the SDK are drawn over this window."}},
             .gType = "text"});
    });
    g_main_loop_run(loop.get());
    fenk::FenkManager::resetSharedManager();
    return 0;
}
