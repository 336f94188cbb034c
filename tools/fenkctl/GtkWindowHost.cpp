#include "FenkSDK/FenkManager.h"
#include "adapters/gtk/GtkMainQueue.h"
#include "adapters/gtk/GtkUi.h"
#include "adapters/linux/ThreadDispatcher.h"
#include "tools/fenkctl/WindowHost.h"

#include <gtk/gtk.h>

#include <iostream>

namespace fenk {

int runInWindow(Environment environment, const std::shared_ptr<ThreadDispatcher>& dispatcher, WindowStart start) {
    if (!gtk_init_check()) {
        std::cerr << "fenkctl: no display to open a window on\n";
        return 1;
    }
    const GtkMainQueue mainQueue(*dispatcher);
    GtkWindow* window = GTK_WINDOW(gtk_window_new());
    gtk_window_set_title(window, "fenkctl");
    gtk_window_set_default_size(window, 400, 800);
    gtk_window_set_child(window, gtk_label_new("The host application"));
    const std::unique_ptr<GMainLoop, decltype(&g_main_loop_unref)> loop(g_main_loop_new(nullptr, FALSE),
                                                                        &g_main_loop_unref);
    g_signal_connect_swapped(window, "destroy", G_CALLBACK(g_main_loop_quit), loop.get());

    environment.ui = std::make_shared<GtkUi>(window);
    Environment::install(std::move(environment));
    gtk_window_present(window);
    dispatcher->mainQueue()->async([start = std::move(start), window, mainQueue = dispatcher->mainQueue()] {
        start(WindowSession{FenkManager::sharedManager(), mainQueue, [window] { gtk_window_destroy(window); }});
    });
    g_main_loop_run(loop.get());
    FenkManager::resetSharedManager();
    Environment::install({});
    return 0;
}

}  // namespace fenk
