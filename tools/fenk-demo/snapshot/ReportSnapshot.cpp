// fenk-report-snapshot REPORT.html OUT.png [WIDTH]: draws a report page in WebKit, prints where its map and
// timeline lie on the page ("map X Y W H", "timeline X Y W H", CSS pixels of the document) and saves the whole
// page as PNG. Exit 1 with one line on stderr when anything fails or nothing answers within 30 s.

#include <gtk/gtk.h>
#include <webkit/webkit.h>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace {

constexpr int kDefaultWidth = 1200;
constexpr int kWindowHeight = 900;
constexpr unsigned kDeadlineSeconds = 30;

// The boxes in document coordinates; a missing element throws, which fails the evaluation.
constexpr std::string_view kBoxesScript = R"(
(() => {
  const box = id => {
    const r = document.getElementById(id).getBoundingClientRect();
    return [id, r.left + window.scrollX, r.top + window.scrollY, r.width, r.height].join(' ');
  };
  return box('map') + '\n' + box('timeline');
})()
)";

struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <class T>
using Owned = std::unique_ptr<T, GObjectUnref>;

struct GFreeText {
    void operator()(char* text) const { g_free(text); }
};
using OwnedText = std::unique_ptr<char, GFreeText>;

struct ErrorFree {
    void operator()(GError* error) const { g_error_free(error); }
};
using OwnedError = std::unique_ptr<GError, ErrorFree>;

// One run: the view, where the PNG goes, and how it ended.
struct Snapshot {
    WebKitWebView* view = nullptr;
    std::string output;
    GCancellable* cancellable = nullptr;
    std::optional<std::string> failure;  // set with the first failure
    guint deadline = 0;                  // 0 once it fired
    bool done = false;

    void fail(std::string message) {
        if (done) return;
        failure = std::move(message);
        done = true;
    }
};

std::string messageOf(GError* error, std::string_view what) {
    const OwnedError owned(error);
    return std::string(what) + (owned ? std::string(": ") + owned->message : std::string());
}

void onSnapshot(GObject* view, GAsyncResult* result, gpointer data) {
    auto& run = *static_cast<Snapshot*>(data);
    GError* error = nullptr;
    const Owned<GdkTexture> texture(webkit_web_view_get_snapshot_finish(WEBKIT_WEB_VIEW(view), result, &error));
    if (!texture) return run.fail(messageOf(error, "the snapshot failed"));
    if (!gdk_texture_save_to_png(texture.get(), run.output.c_str())) return run.fail("cannot write " + run.output);
    run.done = true;
}

void onBoxes(GObject* view, GAsyncResult* result, gpointer data) {
    auto& run = *static_cast<Snapshot*>(data);
    GError* error = nullptr;
    const Owned<JSCValue> value(webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(view), result, &error));
    if (!value || !jsc_value_is_string(value.get())) {
        return run.fail(messageOf(error, "the page has no map or no timeline"));
    }
    const OwnedText boxes(jsc_value_to_string(value.get()));
    std::printf("%s\n", boxes.get());
    std::fflush(stdout);
    webkit_web_view_get_snapshot(run.view, WEBKIT_SNAPSHOT_REGION_FULL_DOCUMENT, WEBKIT_SNAPSHOT_OPTIONS_NONE,
                                 run.cancellable, &onSnapshot, &run);
}

void onLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer data) {
    if (event != WEBKIT_LOAD_FINISHED) return;
    auto& run = *static_cast<Snapshot*>(data);
    if (run.done) return;  // a failed load finishes too, after load-failed said why
    webkit_web_view_evaluate_javascript(view, kBoxesScript.data(), static_cast<gssize>(kBoxesScript.size()), nullptr,
                                        nullptr, run.cancellable, &onBoxes, &run);
}

gboolean onLoadFailed(WebKitWebView*, WebKitLoadEvent, char* uri, GError* error, gpointer data) {
    static_cast<Snapshot*>(data)->fail(std::string("cannot load ") + uri + ": " + error->message);
    return TRUE;
}

gboolean onDeadline(gpointer data) {
    auto& run = *static_cast<Snapshot*>(data);
    run.deadline = 0;
    run.fail("no snapshot within " + std::to_string(kDeadlineSeconds) + " s");
    return G_SOURCE_REMOVE;
}

std::optional<int> widthArgument(std::string_view text) {
    int width = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), width);
    if (error != std::errc{} || end != text.data() + text.size() || width < 200 || width > 10000) return std::nullopt;
    return width;
}

int failWith(const std::string& message) {
    std::fprintf(stderr, "fenk-report-snapshot: %s\n", message.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) return failWith("usage: fenk-report-snapshot REPORT.html OUT.png [WIDTH]");
    const auto width = argc == 4 ? widthArgument(argv[3]) : std::optional<int>(kDefaultWidth);
    if (!width) return failWith(std::string("not a width between 200 and 10000: ") + argv[3]);
    std::error_code error;
    const auto report = std::filesystem::absolute(argv[1], error);
    if (error || !std::filesystem::is_regular_file(report, error)) {
        return failWith(std::string("no such file: ") + argv[1]);
    }
    if (!gtk_init_check()) return failWith("cannot open a display");

    const Owned<GCancellable> cancellable(g_cancellable_new());
    Snapshot run;
    run.output = argv[2];
    run.cancellable = cancellable.get();
    const Owned<GtkWindow> window(GTK_WINDOW(g_object_ref_sink(gtk_window_new())));
    run.view = WEBKIT_WEB_VIEW(webkit_web_view_new());
    gtk_window_set_child(window.get(), GTK_WIDGET(run.view));
    gtk_window_set_default_size(window.get(), *width, kWindowHeight);
    gtk_window_set_decorated(window.get(), FALSE);
    g_signal_connect(run.view, "load-changed", G_CALLBACK(onLoadChanged), &run);
    g_signal_connect(run.view, "load-failed", G_CALLBACK(onLoadFailed), &run);
    gtk_window_present(window.get());

    const OwnedText uri(g_filename_to_uri(report.c_str(), nullptr, nullptr));
    if (!uri) return failWith("cannot name " + report.string() + " as a URI");
    webkit_web_view_load_uri(run.view, uri.get());
    run.deadline = g_timeout_add_seconds(kDeadlineSeconds, &onDeadline, &run);
    while (!run.done) g_main_context_iteration(nullptr, TRUE);
    if (run.deadline) g_source_remove(run.deadline);

    // Work still under way must not call back into `run` once it is gone.
    g_cancellable_cancel(cancellable.get());
    g_signal_handlers_disconnect_by_data(run.view, &run);
    gtk_window_destroy(window.get());
    return run.failure ? failWith(*run.failure) : 0;
}
