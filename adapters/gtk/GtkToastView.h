#pragma once

#include "adapters/gtk/GObjectPtr.h"
#include "adapters/gtk/GtkShownView.h"

#include <vector>

namespace fenk {

// A toast's box: optional image, title and message as plain text, drawn in its style; a click on it is
// reported as a tap on the toast.
class GtkToastView final : public GtkShownView {
public:
    GtkToastView(ScreenId id, const UiEvents& events, const Toast& toast);

    GtkWidget* widget() const override { return box_.get(); }
    std::optional<GdkRectangle> placement() const override { return placement_; }

    // The size the box takes within `limit`, its text wrapped to fit.
    Size measure(Size limit) const;
    // Gives the box `size` with its centre at `centre` of the window's overlay.
    void place(Point centre, Size size);

private:
    static void onClicked(GtkGestureClick*, int presses, double x, double y, gpointer view);

    const ScreenId id_;
    const UiEvents& events_;
    GObjectPtr<GtkWidget> box_;
    std::optional<GdkRectangle> placement_;
    std::vector<SignalConnection> signals_;
};

}  // namespace fenk
