#pragma once

#include "FenkSDK/ports/Ui.h"
#include "adapters/gtk/GObjectPtr.h"
#include "adapters/gtk/GtkInAppBrowser.h"
#include "adapters/gtk/GtkShownView.h"
#include "adapters/gtk/GtkSizeWatch.h"

#include <gtk/gtk.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace fenk {

// The interface toolkit over a host's GTK 4 window. The window's content is wrapped in an overlay (or is one
// already); each screen is an overlay child filling the window, the newest on top, and each toast one placed
// at its centre. Main thread only, as GTK is.
class GtkUi final : public Ui {
public:
    // Hands a link to the desktop; by default GTK shows it from the host's window.
    using ExternalLauncher = std::function<void(const std::string& url)>;

    explicit GtkUi(GtkWindow* window, ExternalLauncher launcher = {});
    ~GtkUi() override;
    GtkUi(const GtkUi&) = delete;
    GtkUi& operator=(const GtkUi&) = delete;

    // The overlay that holds what is shown, and the id an overlay child shows (none for the host's content).
    GtkOverlay* overlay() const { return overlay_.get(); }
    static std::optional<ScreenId> shownId(GtkWidget* child);
    // The in-app browser's window while it is open.
    GtkWindow* browserWindow() const { return browser_ ? browser_->window() : nullptr; }

    void setEvents(UiEvents events) override { events_ = std::move(events); }
    bool hasWindow() const override;
    Size windowSize() const override;
    SafeAreaInsets safeAreaInsets() const override { return {}; }
    void present(ScreenId id, Screen screen) override;
    void revealClose(ScreenId id) override;
    void showImage(ScreenId id, std::optional<Data> image) override;
    void dismiss(ScreenId id) override;
    void play(ScreenId id) override;
    void pause(ScreenId id) override;
    void evaluateScript(ScreenId id, const std::string& script,
                        std::function<void(std::optional<std::string>)> completion) override;
    Size measureToast(const Toast& toast, Size limit) override;
    void showToast(ScreenId id, const Toast& toast, Point centre) override;
    void openInAppBrowser(const std::string& url) override;
    void openExternal(const std::string& url) override;

private:
    void show(ScreenId id, std::unique_ptr<GtkShownView> view);
    GtkShownView* find(ScreenId id) const;
    void reportResized(Size size);
    static gboolean onChildPosition(GtkOverlay*, GtkWidget* child, GdkRectangle* allocation, gpointer ui);
    void browserClosed();

    // The host's window is the host's: it goes when the host closes it, and the toolkit then has none.
    WeakObject<GtkWindow> window_;
    GObjectPtr<GtkOverlay> overlay_;
    ExternalLauncher launcher_;
    UiEvents events_;
    std::map<ScreenId, std::unique_ptr<GtkShownView>> shown_;
    // The limit the last toast was measured in: a toast is laid out as it was measured.
    std::optional<Size> toastLimit_;
    std::unique_ptr<GtkInAppBrowser> browser_;
    SignalConnection childPosition_;
    GtkSizeWatch sizeWatch_;
};

}  // namespace fenk
