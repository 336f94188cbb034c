#include "gtk/GtkTestSupport.h"

#include <gtest/gtest.h>

namespace fenk {
namespace {

// The in-app browser opens over the host's window, and closing it, by its button or from the window manager,
// is reported once and takes its window away. It opens again afterwards.
TEST(GtkInAppBrowserTest, ClosingTheBrowserIsReported) {
    FENK_SKIP_WITHOUT_GTK();
    const gtktest::TestWindow host(400, 800);
    GtkUi ui(host.get());
    int closed = 0;
    UiEvents events;
    events.browserClosed = [&] { ++closed; };
    ui.setEvents(events);
    const struct {
        const char* name;
        void (*close)(GtkWindow* browser);
    } cases[] = {
        {"close button", [](GtkWindow* browser) { gtktest::click(gtktest::findNamed(GTK_WIDGET(browser), "close")); }},
        {"window manager", [](GtkWindow* browser) { gtk_window_close(browser); }},
    };
    GListModel* windows = gtk_window_get_toplevels();
    const guint hostWindows = g_list_model_get_n_items(windows);
    for (const auto& closing : cases) {
        SCOPED_TRACE(closing.name);
        const int closedBefore = closed;
        ui.openInAppBrowser("http://127.0.0.1:9/");
        GtkWindow* browser = ui.browserWindow();
        ASSERT_NE(browser, nullptr);
        EXPECT_EQ(gtk_window_get_transient_for(browser), host.get());
        gtktest::waitUntil([&] { return gtk_widget_get_mapped(GTK_WIDGET(browser)); });
        closing.close(browser);
        gtktest::pump();
        EXPECT_EQ(closed, closedBefore + 1);
        EXPECT_EQ(ui.browserWindow(), nullptr);
        EXPECT_EQ(g_list_model_get_n_items(windows), hostWindows) << "the browser's window is gone";
    }
}

}  // namespace
}  // namespace fenk
