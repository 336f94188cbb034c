#include "adapters/gtk/GtkToastView.h"

#include "adapters/gtk/GtkCss.h"
#include "adapters/gtk/GtkImageView.h"

#include <algorithm>
#include <cmath>

namespace fenk {
namespace {

float xAlign(TextAlignment alignment) {
    switch (alignment) {
        case TextAlignment::center: return 0.5F;
        case TextAlignment::right: return 1.0F;
        case TextAlignment::left: break;
    }
    return 0.0F;
}

GtkJustification justification(TextAlignment alignment) {
    switch (alignment) {
        case TextAlignment::center: return GTK_JUSTIFY_CENTER;
        case TextAlignment::right: return GTK_JUSTIFY_RIGHT;
        case TextAlignment::left: break;
    }
    return GTK_JUSTIFY_LEFT;
}

// A whole number of pixels, 0 for anything negative or not finite.
int pixels(double value) {
    return std::isfinite(value) ? static_cast<int>(std::clamp(std::round(value), 0.0, 1e6)) : 0;
}

void addLabel(GtkWidget* box, const std::string& text, const Colour& colour, const Font& font,
              TextAlignment alignment, int lines) {
    GtkWidget* label = gtk_label_new(nullptr);
    gtk_label_set_text(GTK_LABEL(label), text.c_str());  // plain text: markup in it shows as typed
    gtk_label_set_wrap(GTK_LABEL(label), TRUE);
    gtk_label_set_wrap_mode(GTK_LABEL(label), PANGO_WRAP_WORD_CHAR);
    gtk_label_set_xalign(GTK_LABEL(label), xAlign(alignment));
    gtk_label_set_justify(GTK_LABEL(label), justification(alignment));
    if (lines > 0) {
        gtk_label_set_lines(GTK_LABEL(label), lines);
        gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_END);
    }
    styleWidget(label, "* { color: " + cssColour(colour) + "; font-size: " + cssNumber(font.size) +
                           "px; font-weight: " + (font.bold ? "bold" : "normal") + "; }");
    gtk_box_append(GTK_BOX(box), label);
}

std::string boxCss(const FenkToastStyle& style) {
    std::string css = "* { background-color: " + cssColour(style.backgroundColor) +
                      "; border-radius: " + cssNumber(style.cornerRadius) + "px; padding: " +
                      cssNumber(style.verticalPadding) + "px " + cssNumber(style.horizontalPadding) + "px;";
    if (style.displayShadow) {
        Colour shadow = style.shadowColor;
        shadow.alpha *= static_cast<double>(style.shadowOpacity);
        // CSS offsets may be negative; cssNumber spells magnitudes only.
        const auto offset = [](double value) { return (value < 0 ? "-" : "") + cssNumber(std::fabs(value)) + "px "; };
        css += " box-shadow: " + offset(style.shadowOffset.width) + offset(style.shadowOffset.height) +
               cssNumber(style.shadowRadius) + "px " + cssColour(shadow) + ";";
    }
    if (style.fadeDuration > 0) css += " animation: fenk-toast-fade-in " + cssNumber(style.fadeDuration) + "s ease-out;";
    return css + " }\n@keyframes fenk-toast-fade-in { from { opacity: 0; } to { opacity: 1; } }";
}

}  // namespace

GtkToastView::GtkToastView(ScreenId id, const UiEvents& events, const Toast& toast)
    : id_(id), events_(events), box_(retain(gtk_box_new(GTK_ORIENTATION_VERTICAL, 4))) {
    const FenkToastStyle& style = toast.style;
    if (toast.image) {
        GtkWidget* image = fittedPicture();
        setPictureImage(image, toast.image);
        gtk_widget_set_size_request(image, pixels(style.imageSize.width), pixels(style.imageSize.height));
        gtk_widget_set_halign(image, GTK_ALIGN_CENTER);
        gtk_box_append(GTK_BOX(box_.get()), image);
    }
    if (toast.title) {
        addLabel(box_.get(), *toast.title, style.titleColor, style.titleFont, style.titleAlignment,
                 style.titleNumberOfLines);
    }
    if (toast.message) {
        addLabel(box_.get(), *toast.message, style.messageColor, style.messageFont, style.messageAlignment,
                 style.messageNumberOfLines);
    }
    styleWidget(box_.get(), boxCss(style));
    gtk_widget_set_overflow(box_.get(), GTK_OVERFLOW_HIDDEN);

    GtkGesture* click = gtk_gesture_click_new();
    gtk_widget_add_controller(box_.get(), GTK_EVENT_CONTROLLER(click));
    signals_.emplace_back(click, "released", &onClicked, this);
}

Size GtkToastView::measure(Size limit) const {
    const int maxWidth = std::max(pixels(limit.width), 1);
    const int maxHeight = std::max(pixels(limit.height), 1);
    int minimum = 0;
    int natural = 0;
    gtk_widget_measure(box_.get(), GTK_ORIENTATION_HORIZONTAL, -1, &minimum, &natural, nullptr, nullptr);
    const int width = std::clamp(natural, 1, maxWidth);
    gtk_widget_measure(box_.get(), GTK_ORIENTATION_VERTICAL, width, &minimum, &natural, nullptr, nullptr);
    return {static_cast<double>(width), static_cast<double>(std::clamp(natural, 1, maxHeight))};
}

void GtkToastView::place(Point centre, Size size) {
    // Placed in pixels: a box laid out at its natural size would be as wide as its longest line.
    const int width = pixels(size.width);
    const int height = pixels(size.height);
    placement_ = GdkRectangle{pixels(centre.x) - width / 2, pixels(centre.y) - height / 2, width, height};
}

void GtkToastView::onClicked(GtkGestureClick*, int, double, double, gpointer view) {
    const auto& self = *static_cast<GtkToastView*>(view);
    report(self.events_.tapped, self.id_, Control::toast);
}

}  // namespace fenk
