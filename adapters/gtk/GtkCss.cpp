#include "adapters/gtk/GtkCss.h"

#include "adapters/gtk/GObjectPtr.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace fenk {
namespace {

double clampUnit(double value) { return std::isfinite(value) ? std::clamp(value, 0.0, 1.0) : 0.0; }

}  // namespace

void styleWidget(GtkWidget* widget, const std::string& css) {
    const auto provider = adopt(gtk_css_provider_new());
    gtk_css_provider_load_from_data(provider.get(), css.c_str(), static_cast<gssize>(css.size()));
    // The per-widget style context is the way GTK 4.8 scopes a sheet to one widget.
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gtk_style_context_add_provider(gtk_widget_get_style_context(widget), GTK_STYLE_PROVIDER(provider.get()),
                                   GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    G_GNUC_END_IGNORE_DEPRECATIONS
}

std::string cssNumber(double value) {
    if (!std::isfinite(value) || value < 0) value = 0;
    value = std::min(value, 1e6);  // far beyond any screen, and short enough to spell in full
    std::array<char, 32> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, 3);
    return {text.data(), result.ptr};
}

std::string cssColour(const Colour& colour) {
    const auto channel = [](double value) { return cssNumber(std::round(clampUnit(value) * 255)); };
    return "rgba(" + channel(colour.red) + "," + channel(colour.green) + "," + channel(colour.blue) + "," +
           cssNumber(clampUnit(colour.alpha)) + ")";
}

}  // namespace fenk
