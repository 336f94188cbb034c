#include "adapters/gtk/GtkUi.h"

#include "adapters/gtk/GtkImageView.h"
#include "adapters/gtk/GtkMediaView.h"
#include "adapters/gtk/GtkPageView.h"
#include "adapters/gtk/GtkToastView.h"

#include <algorithm>
#include <type_traits>
#include <variant>
#include <vector>

namespace fenk {
namespace {

constexpr const char* kShownIdKey = "fenk-shown-id";

// The window's content inside an overlay, made on the first use of the window.
GtkOverlay* overlayOf(GtkWindow* window) {
    GtkWidget* content = gtk_window_get_child(window);
    if (content && GTK_IS_OVERLAY(content)) return GTK_OVERLAY(content);
    GtkWidget* overlay = gtk_overlay_new();
    if (content) {
        const auto keep = retain(content);
        gtk_window_set_child(window, nullptr);
        gtk_overlay_set_child(GTK_OVERLAY(overlay), content);
    }
    gtk_window_set_child(window, overlay);
    return GTK_OVERLAY(overlay);
}

void detach(GtkOverlay* overlay, GtkWidget* child) {
    if (gtk_widget_get_parent(child) == GTK_WIDGET(overlay)) gtk_overlay_remove_overlay(overlay, child);
}

}  // namespace

GtkUi::GtkUi(GtkWindow* window, ExternalLauncher launcher)
    : window_(window),
      overlay_(retain(overlayOf(window))),
      launcher_(launcher ? std::move(launcher) : [this](const std::string& url) {
          gtk_show_uri(window_.get().get(), url.c_str(), GDK_CURRENT_TIME);
      }),
      childPosition_(overlay_.get(), "get-child-position", &onChildPosition, this),
      sizeWatch_(GTK_WIDGET(overlay_.get()), [this](Size size) { reportResized(size); }) {}

GtkUi::~GtkUi() {
    for (const auto& entry : shown_) detach(overlay_.get(), entry.second->widget());
}

std::optional<ScreenId> GtkUi::shownId(GtkWidget* child) {
    const auto* id = static_cast<const ScreenId*>(g_object_get_data(G_OBJECT(child), kShownIdKey));
    return id ? std::optional(*id) : std::nullopt;
}

bool GtkUi::hasWindow() const {
    const auto window = window_.get();
    return window && gtk_widget_get_root(GTK_WIDGET(overlay_.get())) == GTK_ROOT(window.get());
}

Size GtkUi::windowSize() const {
    GtkWidget* overlay = GTK_WIDGET(overlay_.get());
    int width = gtk_widget_get_width(overlay);
    int height = gtk_widget_get_height(overlay);
    // Before the window is first laid out, the size it asks for.
    const auto window = window_.get();
    if ((width <= 0 || height <= 0) && window) gtk_window_get_default_size(window.get(), &width, &height);
    return {static_cast<double>(std::max(width, 0)), static_cast<double>(std::max(height, 0))};
}

void GtkUi::present(ScreenId id, Screen screen) {
    show(id, std::visit(
                 [&](const auto& kind) -> std::unique_ptr<GtkShownView> {
                     using Kind = std::decay_t<decltype(kind)>;
                     if constexpr (std::is_same_v<Kind, ImageScreen>) {
                         return std::make_unique<GtkImageView>(id, events_, kind);
                     } else if constexpr (std::is_same_v<Kind, MediaScreen>) {
                         return std::make_unique<GtkMediaView>(id, events_, kind);
                     } else {
                         return std::make_unique<GtkPageView>(id, events_, kind);
                     }
                 },
                 screen));
}

void GtkUi::show(ScreenId id, std::unique_ptr<GtkShownView> view) {
    dismiss(id);  // ids are never reused; should one be, the newer wins
    g_object_set_data_full(G_OBJECT(view->widget()), kShownIdKey, g_memdup2(&id, sizeof id), &g_free);
    gtk_overlay_add_overlay(overlay_.get(), view->widget());
    shown_.emplace(id, std::move(view));
}

GtkShownView* GtkUi::find(ScreenId id) const {
    const auto found = shown_.find(id);
    return found == shown_.end() ? nullptr : found->second.get();
}

void GtkUi::revealClose(ScreenId id) {
    if (auto* view = find(id)) view->revealClose();
}

void GtkUi::showImage(ScreenId id, std::optional<Data> image) {
    if (auto* view = find(id)) view->showImage(std::move(image));
}

void GtkUi::dismiss(ScreenId id) {
    const auto found = shown_.find(id);
    if (found == shown_.end()) return;
    const std::unique_ptr<GtkShownView> view = std::move(found->second);
    shown_.erase(found);
    detach(overlay_.get(), view->widget());
}

void GtkUi::play(ScreenId id) {
    if (auto* view = find(id)) view->play();
}

void GtkUi::pause(ScreenId id) {
    if (auto* view = find(id)) view->pause();
}

void GtkUi::evaluateScript(ScreenId id, const std::string& script,
                           std::function<void(std::optional<std::string>)> completion) {
    if (auto* view = find(id)) {
        view->evaluateScript(script, std::move(completion));
    } else {
        answerNoneLater(std::move(completion));
    }
}

Size GtkUi::measureToast(const Toast& toast, Size limit) {
    toastLimit_ = limit;
    return GtkToastView(0, events_, toast).measure(limit);
}

void GtkUi::showToast(ScreenId id, const Toast& toast, Point centre) {
    auto view = std::make_unique<GtkToastView>(id, events_, toast);
    view->place(centre, view->measure(toastLimit_.value_or(windowSize())));
    show(id, std::move(view));
}

void GtkUi::openInAppBrowser(const std::string& url) {
    if (!browser_) browser_ = std::make_unique<GtkInAppBrowser>(window_.get().get(), [this] { browserClosed(); });
    browser_->open(url);
}

void GtkUi::browserClosed() {
    browser_.reset();
    report(events_.browserClosed);
}

void GtkUi::openExternal(const std::string& url) { launcher_(url); }

gboolean GtkUi::onChildPosition(GtkOverlay*, GtkWidget* child, GdkRectangle* allocation, gpointer ui) {
    const auto id = shownId(child);
    const GtkShownView* view = id ? static_cast<GtkUi*>(ui)->find(*id) : nullptr;
    const auto placement = view ? view->placement() : std::nullopt;
    if (!placement) return FALSE;
    // GTK lays out only what it measured, and never below the minimum it was told.
    int minimumWidth = 0;
    int minimumHeight = 0;
    gtk_widget_measure(child, GTK_ORIENTATION_HORIZONTAL, -1, &minimumWidth, nullptr, nullptr, nullptr);
    const int width = std::max(placement->width, minimumWidth);
    gtk_widget_measure(child, GTK_ORIENTATION_VERTICAL, width, &minimumHeight, nullptr, nullptr, nullptr);
    *allocation = {placement->x, placement->y, width, std::max(placement->height, minimumHeight)};
    return TRUE;
}

void GtkUi::reportResized(Size size) {
    // A handler may dismiss screens, so the ids are taken first.
    std::vector<ScreenId> ids;
    for (const auto& entry : shown_) ids.push_back(entry.first);
    for (const ScreenId id : ids) {
        if (shown_.contains(id)) report(events_.resized, id, size);
    }
}

}  // namespace fenk
