#pragma once

#include "tools/fenk-platform/RgbCanvas.h"

#include <string>
#include <vector>

namespace fenk {

// What the report's two drawings share: colours as CSS writes them, numbers as SVG wants them, and a one-line
// legend.

// Both drawings are this wide in their own units, so that they line up on the page.
inline constexpr double kDrawingWidth = 1000;

// "#rrggbb"
std::string cssColour(Rgb colour);

// A coordinate with one decimal, without a trailing ".0": enough for a screen, and short for a big drawing.
std::string svgNumber(double value);

// ` name="value"`, the value as svgNumber writes it.
std::string svgAttribute(const char* name, double value);

// A square on its point, centred on (x, y), `half` from the centre to each corner; fill and stroke follow.
std::string svgDiamond(double x, double y, double half, const std::string& attributes);

enum class Swatch { box, line, ring, dot, diamond };

struct LegendEntry {
    Swatch swatch;
    std::string paint;  // a colour, or url(#pattern)
    std::string label;  // plain text, escaped when drawn
};

// The entries side by side, starting at (x, y) on the text's baseline.
std::string svgLegend(double x, double y, const std::vector<LegendEntry>& entries);

}  // namespace fenk
