#include "tools/fenk-demo/SvgDrawing.h"

#include "FenkSDK/runtime/DecimalText.h"
#include "tools/fenk-platform/PlatformPages.h"

#include <array>
#include <cstdio>

namespace fenk {
namespace {

// Labels are short; an average glyph of the 11 px font is this wide, enough to space the entries.
constexpr double kGlyphWidth = 6.4;
constexpr double kSwatchWidth = 16;

std::string swatchShape(Swatch swatch, double x, double y, const std::string& paint) {
    const std::string centreY = svgNumber(y - 4);
    switch (swatch) {
        case Swatch::line:
            return "<line x1=\"" + svgNumber(x) + "\" y1=\"" + centreY + "\" x2=\"" + svgNumber(x + kSwatchWidth) +
                   "\" y2=\"" + centreY + "\" stroke=\"" + paint + "\" stroke-width=\"3\"/>";
        case Swatch::ring:
            return "<circle cx=\"" + svgNumber(x + kSwatchWidth / 2) + "\" cy=\"" + centreY +
                   "\" r=\"6\" fill=\"none\" stroke=\"" + paint + "\" stroke-width=\"1.5\"/>";
        case Swatch::dot:
            return "<circle cx=\"" + svgNumber(x + kSwatchWidth / 2) + "\" cy=\"" + centreY + "\" r=\"5\" fill=\"" +
                   paint + "\" stroke=\"#fff\" stroke-width=\"1.5\"/>";
        case Swatch::diamond:
            return svgDiamond(x + kSwatchWidth / 2, y - 4, 6, "fill=\"" + paint + "\"");
        case Swatch::box:
            break;
    }
    return "<rect x=\"" + svgNumber(x) + "\" y=\"" + svgNumber(y - 10) + "\" width=\"" + svgNumber(kSwatchWidth) +
           "\" height=\"12\" fill=\"" + paint + "\" stroke=\"#adb5bd\" stroke-width=\"0.5\"/>";
}

}  // namespace

std::string cssColour(Rgb colour) {
    std::array<char, 8> text{};
    std::snprintf(text.data(), text.size(), "#%02x%02x%02x", colour.red, colour.green, colour.blue);
    return text.data();
}

std::string svgNumber(double value) {
    std::string text = fixedDecimals(value + 0.0, 1);
    if (text.ends_with(".0")) text.resize(text.size() - 2);
    if (text == "-0") text = "0";
    return text;
}

std::string svgAttribute(const char* name, double value) {
    return std::string(" ") + name + "=\"" + svgNumber(value) + "\"";
}

std::string svgDiamond(double x, double y, double half, const std::string& attributes) {
    return "<path d=\"M" + svgNumber(x) + " " + svgNumber(y - half) + "l" + svgNumber(half) + " " + svgNumber(half) + "l-" +
           svgNumber(half) + " " + svgNumber(half) + "l-" + svgNumber(half) + "-" + svgNumber(half) + "z\" " + attributes +
           "/>";
}

std::string svgLegend(double x, double y, const std::vector<LegendEntry>& entries) {
    std::string svg = "<g class=\"legend\" font-size=\"11\" fill=\"#495057\">";
    for (const auto& entry : entries) {
        svg += swatchShape(entry.swatch, x, y, entry.paint);
        svg += "<text x=\"" + svgNumber(x + kSwatchWidth + 5) + "\" y=\"" + svgNumber(y) + "\">" +
               escapeHtml(entry.label) + "</text>";
        x += kSwatchWidth + 5 + static_cast<double>(entry.label.size()) * kGlyphWidth + 18;
    }
    return svg + "</g>";
}

}  // namespace fenk
