#pragma once

#include "FenkSDK/ui/FenkToastStyle.h"

#include <gtk/gtk.h>

#include <string>

namespace fenk {

// Styles one widget, not its children, with `css`. Callers build it from fixed text and the two formatters
// below only, so nothing from outside can reach the style sheet's syntax.
void styleWidget(GtkWidget* widget, const std::string& css);

// A number in CSS spelling ("12.500"), within 0 to a million; a negative or not finite one is 0.
std::string cssNumber(double value);
// "rgba(R,G,B,A)" with every component clamped to its range.
std::string cssColour(const Colour& colour);

}  // namespace fenk
