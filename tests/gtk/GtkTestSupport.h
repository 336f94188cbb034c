#pragma once

#include "FenkSDK/runtime/Data.h"
#include "adapters/gtk/GObjectPtr.h"
#include "adapters/gtk/GtkUi.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace fenk::gtktest {

// Why GTK cannot run here (no display), or none once it is up.
inline std::optional<std::string> gtkUnavailable() {
    static const bool available = gtk_init_check();
    if (available) return std::nullopt;
    return "GTK cannot open a display; run the suite under xvfb-run (ctest does)";
}

#define FENK_SKIP_WITHOUT_GTK()                                                         \
    do {                                                                                \
        if (const auto reason = ::fenk::gtktest::gtkUnavailable()) GTEST_SKIP() << *reason; \
    } while (false)

// Runs GLib's loop until nothing is ready to run, at most `rounds` dispatches (animations never settle).
inline void pump(int rounds = 2000) {
    while (rounds-- > 0 && g_main_context_iteration(nullptr, FALSE)) {
    }
}

// Runs GLib's loop until `done` holds, or fails the test once `seconds` have passed.
inline bool waitUntil(const std::function<bool()>& done, unsigned seconds = 20) {
    bool expired = false;
    const guint timeout = g_timeout_add_seconds(
        seconds,
        [](gpointer flag) {
            *static_cast<bool*>(flag) = true;
            return G_SOURCE_REMOVE;
        },
        &expired);
    // Asked once a round: what is asked may change from one call to the next (a page painting).
    bool finished = false;
    while (!(finished = done()) && !expired) g_main_context_iteration(nullptr, TRUE);
    if (!expired) g_source_remove(timeout);
    EXPECT_TRUE(finished) << "still waiting after " << seconds << " s";
    return finished;
}

// A host's window of the given size, shown for the test and destroyed after it.
class TestWindow {
public:
    TestWindow(int width, int height) : window_(retain(GTK_WINDOW(gtk_window_new()))) {
        gtk_window_set_default_size(window_.get(), width, height);
        gtk_window_set_decorated(window_.get(), FALSE);
        gtk_window_set_child(window_.get(), gtk_label_new("The host's own content"));
        gtk_window_present(window_.get());
    }
    ~TestWindow() { gtk_window_destroy(window_.get()); }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    GtkWindow* get() const { return window_.get(); }

private:
    GObjectPtr<GtkWindow> window_;
};

// The ids on screen now, as the overlay's children tell, bottom first.
inline std::vector<ScreenId> shownIds(GtkOverlay* overlay) {
    std::vector<ScreenId> ids;
    for (GtkWidget* child = gtk_widget_get_first_child(GTK_WIDGET(overlay)); child;
         child = gtk_widget_get_next_sibling(child)) {
        if (const auto id = GtkUi::shownId(child)) ids.push_back(*id);
    }
    return ids;
}

// The first widget named `name` at or below `root`.
inline GtkWidget* findNamed(GtkWidget* root, std::string_view name) {
    if (gtk_widget_get_name(root) == name) return root;
    for (GtkWidget* child = gtk_widget_get_first_child(root); child; child = gtk_widget_get_next_sibling(child)) {
        if (GtkWidget* found = findNamed(child, name)) return found;
    }
    return nullptr;
}

// Clicks a button as the user does, at once.
inline void click(GtkWidget* button) {
    ASSERT_NE(button, nullptr);
    g_signal_emit_by_name(button, "clicked");
}

// Weak references to a widget, everything below it, and the streams its pictures play; they tell what is still
// alive.
class WeakRefs {
public:
    explicit WeakRefs(GtkWidget* root) { add(root); }
    ~WeakRefs() {
        for (auto& ref : refs_) g_weak_ref_clear(ref.get());
    }
    WeakRefs(const WeakRefs&) = delete;
    WeakRefs& operator=(const WeakRefs&) = delete;

    std::size_t alive() const {
        std::size_t count = 0;
        for (const auto& ref : refs_) {
            if (GObject* object = G_OBJECT(g_weak_ref_get(ref.get()))) {
                ++count;
                g_object_unref(object);
            }
        }
        return count;
    }

private:
    void watch(gpointer object) { g_weak_ref_init(refs_.emplace_back(std::make_unique<GWeakRef>()).get(), object); }
    void add(GtkWidget* widget) {
        watch(widget);
        // Streams only: GL renderers keep images they drew in a cache of their own.
        GdkPaintable* shown = GTK_IS_PICTURE(widget) ? gtk_picture_get_paintable(GTK_PICTURE(widget)) : nullptr;
        if (shown && GTK_IS_MEDIA_STREAM(shown)) watch(shown);
        for (GtkWidget* child = gtk_widget_get_first_child(widget); child; child = gtk_widget_get_next_sibling(child)) {
            add(child);
        }
    }

    std::vector<std::unique_ptr<GWeakRef>> refs_;
};

struct Rgba {
    int red;
    int green;
    int blue;
};

// A PNG of one colour.
inline Data solidPng(Rgba colour, int width = 64, int height = 48) {
    std::vector<std::uint8_t> pixels;
    for (int i = 0; i < width * height; ++i) {
        for (const int channel : {colour.red, colour.green, colour.blue}) pixels.push_back(static_cast<std::uint8_t>(channel));
    }
    const std::unique_ptr<GBytes, decltype(&g_bytes_unref)> bytes(g_bytes_new(pixels.data(), pixels.size()),
                                                                  &g_bytes_unref);
    const auto texture = adopt(gdk_memory_texture_new(width, height, GDK_MEMORY_R8G8B8, bytes.get(),
                                                      static_cast<gsize>(width) * 3));
    const std::unique_ptr<GBytes, decltype(&g_bytes_unref)> png(gdk_texture_save_to_png_bytes(texture.get()),
                                                                &g_bytes_unref);
    gsize size = 0;
    const auto* data = static_cast<const std::uint8_t*>(g_bytes_get_data(png.get(), &size));
    return Data(data, data + size);
}

// What a widget looks like now, rendered by its window's renderer.
class Rendering {
public:
    explicit Rendering(GtkWidget* widget) {
        const int width = gtk_widget_get_width(widget);
        const int height = gtk_widget_get_height(widget);
        const auto paintable = adopt(gtk_widget_paintable_new(widget));
        GtkSnapshot* snapshot = gtk_snapshot_new();
        gdk_paintable_snapshot(GDK_PAINTABLE(paintable.get()), snapshot, width, height);
        GskRenderNode* node = gtk_snapshot_free_to_node(snapshot);
        GskRenderer* renderer = gtk_native_get_renderer(gtk_widget_get_native(widget));
        const graphene_rect_t area = GRAPHENE_RECT_INIT(0, 0, static_cast<float>(width), static_cast<float>(height));
        if (node) {
            texture_ = adopt(gsk_renderer_render_texture(renderer, node, &area));
            gsk_render_node_unref(node);
        }
        if (!texture_) return;
        width_ = gdk_texture_get_width(texture_.get());
        pixels_.resize(static_cast<std::size_t>(width_) * static_cast<std::size_t>(gdk_texture_get_height(texture_.get())) * 4);
        gdk_texture_download(texture_.get(), pixels_.data(), static_cast<gsize>(width_) * 4);
    }

    // The colour at (x, y); downloads are B, G, R, A in memory on this little-endian machine.
    Rgba at(int x, int y) const {
        const std::size_t offset = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)) * 4;
        if (offset + 3 >= pixels_.size()) return {-1, -1, -1};
        return {pixels_[offset + 2], pixels_[offset + 1], pixels_[offset]};
    }

    // Saved as `name`.png in the folder FENK_SCREENSHOT_DIR names, when it is set.
    void keepAsScreenshot(const std::string& name) const {
        const char* folder = std::getenv("FENK_SCREENSHOT_DIR");
        if (folder && texture_) gdk_texture_save_to_png(texture_.get(), (std::string(folder) + "/" + name + ".png").c_str());
    }

private:
    GObjectPtr<GdkTexture> texture_;
    int width_ = 0;
    std::vector<std::uint8_t> pixels_;
};

// Whether two colours are alike, within what scaling and blending change.
inline bool near(Rgba actual, Rgba expected, int tolerance = 24) {
    return std::abs(actual.red - expected.red) <= tolerance && std::abs(actual.green - expected.green) <= tolerance &&
           std::abs(actual.blue - expected.blue) <= tolerance;
}

inline std::ostream& operator<<(std::ostream& out, Rgba colour) {
    return out << "rgb(" << colour.red << "," << colour.green << "," << colour.blue << ")";
}

}  // namespace fenk::gtktest
