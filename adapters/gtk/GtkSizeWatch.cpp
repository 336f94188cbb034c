#include "adapters/gtk/GtkSizeWatch.h"

namespace fenk {

GtkSizeWatch::GtkSizeWatch(GtkWidget* widget, std::function<void(Size)> changed)
    : widget_(widget),
      changed_(std::move(changed)),
      realize_(widget, "realize", &onRealize, this),
      unrealize_(widget, "unrealize", &onUnrealize, this) {
    if (gtk_widget_get_realized(widget)) onRealize(widget, this);
}

void GtkSizeWatch::onRealize(GtkWidget* widget, gpointer watch) {
    auto& self = *static_cast<GtkSizeWatch*>(watch);
    if (GdkFrameClock* clock = gtk_widget_get_frame_clock(widget)) {
        self.afterPaint_.emplace(clock, "after-paint", &onAfterPaint, watch);
    }
}

void GtkSizeWatch::onUnrealize(GtkWidget*, gpointer watch) { static_cast<GtkSizeWatch*>(watch)->afterPaint_.reset(); }

void GtkSizeWatch::onAfterPaint(GdkFrameClock*, gpointer watch) {
    auto& self = *static_cast<GtkSizeWatch*>(watch);
    const Size size{static_cast<double>(gtk_widget_get_width(self.widget_)),
                    static_cast<double>(gtk_widget_get_height(self.widget_))};
    if (size.width <= 0 || size.height <= 0) return;
    const bool first = !self.seen_;
    const bool same = self.seen_ && self.seen_->width == size.width && self.seen_->height == size.height;
    self.seen_ = size;
    if (!first && !same) self.changed_(size);
}

}  // namespace fenk
